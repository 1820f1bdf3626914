#include "EmbeddedResources.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <utility>

namespace {

TEST(EmbeddedResourcesTest, EveryResourceIsFoundByItsOwnTypeAndNameOnly)
{
    std::set<std::pair<std::string, std::string>> seen;
    for (const svp::EmbeddedResource& resource : svp::GetEmbeddedResources()) {
        EXPECT_TRUE(seen.emplace(resource.type, resource.name).second)
            << "listed twice: " << resource.type << "/" << resource.name;
        EXPECT_EQ(&resource, svp::FindEmbeddedResource(resource.type, resource.name));
    }
}

TEST(EmbeddedResourcesTest, AnUnknownOrMisspelledNameFindsNothing)
{
    EXPECT_EQ(nullptr, svp::FindEmbeddedResource("GDIPLUS", "NO_SUCH_IMAGE_PNG"));
    EXPECT_EQ(nullptr, svp::FindEmbeddedResource("", ""));
    for (const svp::EmbeddedResource& resource : svp::GetEmbeddedResources()) {
        std::string lower(resource.name);
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (lower != resource.name) {
            EXPECT_EQ(nullptr, svp::FindEmbeddedResource(resource.type, lower));
        }
    }
}

} // namespace
