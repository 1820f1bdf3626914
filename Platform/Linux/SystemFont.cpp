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

// 9 points at 96 dots per inch.
constexpr int32_t kCharacterHeight = -12;

} // namespace

bool GetIconTitleFont(LogicalFont& font)
{
    font = LogicalFont{};
    // The process-wide configuration, which the text drawing loads anyway: reading the
    // configuration and the font list takes a good part of the start-up, so it is done once.
    if (FcInit() == FcFalse) {
        return false;
    }
    Pattern pattern(FcNameParse(reinterpret_cast<const FcChar8*>("sans")));
    if (!pattern) {
        return false;
    }
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
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
