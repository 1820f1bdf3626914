#include "Application/MainWindowPlacement.h"

#include "Application/FrameworkApp.h"
#include "ProfileFile.h"

namespace SV {

namespace {

constexpr const char* kPlacementEntry = "WP";

std::string& MainWindowClassName()
{
    static std::string name;
    return name;
}

} // namespace

const std::string& GetMainWindowClassName()
{
    return MainWindowClassName();
}

void SetMainWindowClassName(const std::string& name)
{
    MainWindowClassName() = name;
}

std::string GetProfilePath()
{
    if (CurrentApplication == nullptr) {
        return {};
    }
    return svp::ProfileFile::PathFor(CurrentApplication->GetCompanyName().ToNarrow().GetText(),
                                     CurrentApplication->GetProductName().ToNarrow().GetText());
}

bool SaveMainWindowPlacement(const svp::WindowPlacement& placement)
{
    const std::string path = GetProfilePath();
    if (path.empty()) {
        return false;
    }
    const auto bytes = svp::EncodeWindowPlacement(placement);
    return svp::ProfileFile(path).WriteBinary(GetMainWindowClassName(), kPlacementEntry, bytes);
}

std::optional<svp::WindowPlacement> LoadMainWindowPlacement()
{
    const std::string path = GetProfilePath();
    if (path.empty()) {
        return std::nullopt;
    }
    const auto bytes = svp::ProfileFile(path).ReadBinary(GetMainWindowClassName(), kPlacementEntry);
    if (!bytes) {
        return std::nullopt;
    }
    return svp::DecodeWindowPlacement(*bytes);
}

} // namespace SV
