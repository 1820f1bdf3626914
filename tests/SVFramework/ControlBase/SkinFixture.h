// A control factory that reads small skin documents from text, for the reader's tests.
#pragma once

#include "ControlBase/ControlFactory.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>

namespace svtest {

class SkinFixture : public testing::Test
{
protected:
    // Reads the elements inside a document element of their own.
    int32_t Load(std::string_view elements)
    {
        const std::string document = "<Document>" + std::string(elements) + "</Document>";
        return factory->LoadSkinText(document);
    }

    // Reads the elements as the inside of one top-level skin named "skin".
    int32_t LoadSkin(std::string_view inside)
    {
        return Load("<Skins><Skin Name=\"skin\">" + std::string(inside) + "</Skin></Skins>");
    }

    SV::RCPtr<SV::LControlDescriptor> Root(const char16_t* name) const
    {
        return factory->FindRootDescriptor(name);
    }

    // A fresh factory, for tests that read several documents from scratch.
    void Reset() { factory = std::make_unique<SV::LControlFactory>(u"App"); }

    std::unique_ptr<SV::LControlFactory> factory = std::make_unique<SV::LControlFactory>(u"App");
};

} // namespace svtest
