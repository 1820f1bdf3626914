#include "SystemFont.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace svp {
namespace {

struct PatternDeleter
{
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

struct ConfigDeleter
{
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
// A configuration of our own, given back after the question: fontconfig's process-wide one is
// never freed.
using Config = std::unique_ptr<FcConfig, ConfigDeleter>;

// 9 points at 96 dots per inch.
constexpr int32_t kCharacterHeight = -12;

} // namespace

bool GetIconTitleFont(LogicalFont& font)
{
    font = LogicalFont{};
    const Config config(FcInitLoadConfigAndFonts());
    if (!config) {
        return false;
    }
    Pattern pattern(FcNameParse(reinterpret_cast<const FcChar8*>("sans")));
    if (!pattern) {
        return false;
    }
    FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(config.get(), pattern.get(), &result));
    FcChar8* family = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FAMILY, 0, &family) != FcResultMatch ||
        family == nullptr) {
        return false;
    }
    font.faceName = reinterpret_cast<const char*>(family);
    font.height = kCharacterHeight;
    return true;
}

} // namespace svp
