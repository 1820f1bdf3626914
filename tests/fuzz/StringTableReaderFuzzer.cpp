// String-table documents: the first byte picks the user's locale, the rest is read as the
// application document and then as the framework document. Loading always succeeds, settles on
// a locale the fallback can reach, and every table it made can be handed out.

#include "ControlBase/ControlFactory.h"
#include "FuzzCheck.h"

namespace {

using SV::LControlFactory;

constexpr int32_t kLocales[] = {0x0409, 0x0407, 0x0404, 0x0C04, 0x0009, 0x0011, 0x7C04, 0};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    const int32_t locale = kLocales[data[0] % (sizeof(kLocales) / sizeof(kLocales[0]))];
    const std::span<const char> text(reinterpret_cast<const char*>(data) + 1, size - 1);

    LControlFactory factory(u"Fuzz");
    SV_FUZZ_CHECK(factory.LoadStringTableTexts(text, text, locale) == 0);
    const int32_t settled = factory.GetStringTableLocale();
    SV_FUZZ_CHECK(settled == locale || settled == (locale & 0xFF) ||
                  settled == LControlFactory::kTraditionalChineseLocale ||
                  settled == LControlFactory::kEnglishLocale);
    // Tables handed out are copies: changing one leaves the next one as read.
    if (SV::RCPtr<SV::LStringTable> table = factory.GetFrameworkStringTable()) {
        const size_t count = table->GetStrings().size();
        table->SetString(u"FUZZ_ONLY", u"x");
        SV_FUZZ_CHECK(factory.GetFrameworkStringTable()->GetStrings().size() == count);
    }
    // A second load adds to what is there and still succeeds.
    SV_FUZZ_CHECK(factory.LoadStringTableTexts(text, {}, locale) == 0);
    return 0;
}
