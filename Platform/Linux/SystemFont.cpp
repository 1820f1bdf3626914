#include "SystemFont.h"

#include <fontconfig/fontconfig.h>

#include <memory>
#include <optional>

namespace svp {
namespace {

struct PatternDeleter
{
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

// 9 points at 96 dots per inch.
constexpr int32_t kCharacterHeight = -12;

// What fontconfig resolves "sans" to; nothing when it finds no font.
std::optional<LogicalFont> ResolveIconTitleFont()
{
    if (FcInit() == FcFalse) {
        return std::nullopt;
    }
    Pattern pattern(FcNameParse(reinterpret_cast<const FcChar8*>("sans")));
    if (!pattern) {
        return std::nullopt;
    }
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    FcChar8* family = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FAMILY, 0, &family) != FcResultMatch ||
        family == nullptr) {
        return std::nullopt;
    }
    LogicalFont font;
    font.faceName = reinterpret_cast<const char*>(family);
    font.height = kCharacterHeight;
    return font;
}

} // namespace

bool GetIconTitleFont(LogicalFont& font)
{
    // Every control asks for the default font as it is made, and a match costs a good part of a
    // millisecond: the font is resolved once, with the configuration the text drawing loads
    // anyway, and kept for the process.
    static const std::optional<LogicalFont> resolved = ResolveIconTitleFont();
    font = resolved.value_or(LogicalFont{});
    return resolved.has_value();
}

} // namespace svp
