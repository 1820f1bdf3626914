// The editor's application object without windows or message loop, for the editor's tests: its
// string tables are the program's own, compiled in (or texts a test gives), its MIDI manager is
// the one a test hands it, and message boxes go to the desktop the test installed.
//
// Header only: it needs the editor's headers, which only the editor's test folder sees.
#pragma once

#include "Application.h"
#include "ControlBase/ControlFactory.h"
#include "ResultCodes.h"

#include <span>

namespace svtest {

class EditorApplicationDouble : public LApplication
{
public:
    // With the program's "|PresetEditor" and framework texts in English.
    static SV::RCPtr<EditorApplicationDouble> WithProgramStrings()
    {
        SV::RCPtr<SV::LControlFactory> factory(new SV::LControlFactory(u"PresetEditor"));
        factory->LoadStringTables(SV::WideString(u"::APP_STRINGS"),
                                  SV::WideString(u"::FRAMEWORK_STRINGS"), kEnglish);
        return SV::RCPtr<EditorApplicationDouble>(new EditorApplicationDouble(factory));
    }

    // With the string tables of a document in memory (the application's only).
    static SV::RCPtr<EditorApplicationDouble> WithStrings(std::span<const char> document)
    {
        SV::RCPtr<SV::LControlFactory> factory(new SV::LControlFactory(u"PresetEditor"));
        factory->LoadStringTableTexts(document, {}, kEnglish);
        return SV::RCPtr<EditorApplicationDouble>(new EditorApplicationDouble(factory));
    }

    explicit EditorApplicationDouble(const SV::RCPtr<SV::LControlFactory>& factory)
        : LApplication(factory, nullptr, u"editor --test")
    {}

    int32_t CreateMainWindow(int32_t) override { return E_FAIL; }
    void RunMessageLoop() override {}

    using LApplication::SetMidiManager;

private:
    static constexpr int32_t kEnglish = 0x0009;
};

} // namespace svtest
