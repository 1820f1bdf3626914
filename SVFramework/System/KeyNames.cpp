#include "System/KeyNames.h"

#include "VirtualKeys.h"

#include <map>
#include <string>

namespace SV {
namespace {

struct KeyNameTables
{
    std::map<WideString, uint32_t> codesByName;
    std::map<uint32_t, WideString> textsByCode;
};

KeyNameTables& Tables()
{
    static KeyNameTables tables;
    return tables;
}

void AddName(const std::string& name, uint32_t code)
{
    Tables().codesByName.try_emplace(WideString(name.c_str()), code);
}

void AddText(uint32_t code, const std::string& text)
{
    Tables().textsByCode.try_emplace(code, WideString(text.c_str()));
}

void AddNames()
{
    const struct
    {
        const char* name;
        uint32_t code;
    } kBeforeDigits[] = {
        {"BACK", VK_BACK},
        {"TAB", VK_TAB},
        {"CLEAR", VK_CLEAR},
        {"RETURN", VK_RETURN},
        {"SHIFT", VK_SHIFT},
        {"CONTROL", VK_CONTROL},
        {"MENU", VK_MENU},
        {"PAUSE", VK_PAUSE},
        {"CAPITAL", VK_CAPITAL},
        {"KANA", VK_KANA},
        {"HANGEUL", VK_HANGEUL},
        {"HANGUL", VK_HANGUL},
        {"JUNJA", VK_JUNJA},
        {"FINAL", VK_FINAL},
        {"HANJA", VK_HANJA},
        {"KANJI", VK_KANJI},
        {"ESCAPE", VK_ESCAPE},
        {"CONVERT", VK_CONVERT},
        {"NONCONVERT", VK_NONCONVERT},
        {"ACCEPT", VK_ACCEPT},
        {"MODECHANGE", VK_MODECHANGE},
        {"SPACE", VK_SPACE},
        {"PAGEUP", VK_PRIOR},
        {"PAGEDN", VK_NEXT},
        {"END", VK_END},
        {"HOME", VK_HOME},
        {"LEFT", VK_LEFT},
        {"UP", VK_UP},
        {"RIGHT", VK_RIGHT},
        {"DOWN", VK_DOWN},
        {"SELECT", VK_SELECT},
        {"PRINT", VK_PRINT},
        {"EXECUTE", VK_EXECUTE},
        {"SNAPSHOT", VK_SNAPSHOT},
        {"INSERT", VK_INSERT},
        {"DELETE", VK_DELETE},
        {"HELP", VK_HELP},
    };
    for (const auto& entry : kBeforeDigits) {
        AddName(std::string("VKEY_") + entry.name, entry.code);
    }
    for (uint32_t i = 0; i < 10; ++i) {
        AddName("VKEY_" + std::string(1, static_cast<char>('0' + i)), VK_0 + i);
    }
    for (uint32_t i = 0; i < 26; ++i) {
        AddName("VKEY_" + std::string(1, static_cast<char>('A' + i)), VK_A + i);
    }
    AddName("VKEY_LWIN", VK_LWIN);
    AddName("VKEY_RWIN", VK_RWIN);
    AddName("VKEY_APPS", VK_APPS);
    AddName("VKEY_SLEEP", VK_SLEEP);
    for (uint32_t i = 0; i < 10; ++i) {
        AddName("VKEY_NUMPAD" + std::to_string(i), VK_NUMPAD0 + i);
    }
    const struct
    {
        const char* name;
        uint32_t code;
    } kAfterNumpad[] = {
        {"MULTIPLY", VK_MULTIPLY}, {"ADD", VK_ADD},         {"SEPARATOR", VK_SEPARATOR},
        {"SUBTRACT", VK_SUBTRACT}, {"DECIMAL", VK_DECIMAL}, {"DIVIDE", VK_DIVIDE},
    };
    for (const auto& entry : kAfterNumpad) {
        AddName(std::string("VKEY_") + entry.name, entry.code);
    }
    for (uint32_t i = 0; i < 24; ++i) {
        AddName("VKEY_F" + std::to_string(i + 1), VK_F1 + i);
    }
    const struct
    {
        const char* name;
        uint32_t code;
    } kAfterFunctionKeys[] = {
        {"NUMLOCK", VK_NUMLOCK},
        {"SCROLL", VK_SCROLL},
        {"OEM_NEC_EQUAL", VK_OEM_NEC_EQUAL},
        {"OEM_FJ_JISHO", VK_OEM_FJ_JISHO},
        {"OEM_FJ_MASSHOU", VK_OEM_FJ_MASSHOU},
        {"OEM_FJ_TOUROKU", VK_OEM_FJ_TOUROKU},
        {"OEM_FJ_LOYA", VK_OEM_FJ_LOYA},
        {"OEM_FJ_ROYA", VK_OEM_FJ_ROYA},
        {"LSHIFT", VK_LSHIFT},
        {"RSHIFT", VK_RSHIFT},
        {"LCONTROL", VK_LCONTROL},
        {"RCONTROL", VK_RCONTROL},
        {"LMENU", VK_LMENU},
        {"RMENU", VK_RMENU},
        {"BROWSER_BACK", VK_BROWSER_BACK},
        {"BROWSER_FORWARD", VK_BROWSER_FORWARD},
        {"BROWSER_REFRESH", VK_BROWSER_REFRESH},
        {"BROWSER_STOP", VK_BROWSER_STOP},
        {"BROWSER_SEARCH", VK_BROWSER_SEARCH},
        {"BROWSER_FAVORITES", VK_BROWSER_FAVORITES},
        {"BROWSER_HOME", VK_BROWSER_HOME},
        {"VOLUME_MUTE", VK_VOLUME_MUTE},
        {"VOLUME_DOWN", VK_VOLUME_DOWN},
        {"VOLUME_UP", VK_VOLUME_UP},
        {"MEDIA_NEXT_TRACK", VK_MEDIA_NEXT_TRACK},
        {"MEDIA_PREV_TRACK", VK_MEDIA_PREV_TRACK},
        {"MEDIA_STOP", VK_MEDIA_STOP},
        {"MEDIA_PLAY_PAUSE", VK_MEDIA_PLAY_PAUSE},
        {"LAUNCH_MAIL", VK_LAUNCH_MAIL},
        {"LAUNCH_MEDIA_SELECT", VK_LAUNCH_MEDIA_SELECT},
        {"LAUNCH_APP1", VK_LAUNCH_APP1},
        {"LAUNCH_APP2", VK_LAUNCH_APP2},
    };
    for (const auto& entry : kAfterFunctionKeys) {
        AddName(std::string("VKEY_") + entry.name, entry.code);
    }
}

// In code order; the later texts offered for 0x15, 0x19 and 0x92 are dropped by AddText.
void AddTexts()
{
    const struct
    {
        uint32_t code;
        const char* text;
    } kBeforeDigits[] = {
        {VK_CLEAR, "Clear"},
        {VK_RETURN, "Return"},
        {VK_SHIFT, "Shift"},
        {VK_CONTROL, "Control"},
        {VK_MENU, "Menu"},
        {VK_PAUSE, "Pause"},
        {VK_CAPITAL, "Capital"},
        {VK_KANA, "Kana"},
        {VK_HANGEUL, "Hangeul"},
        {VK_HANGUL, "Hangul"},
        {VK_JUNJA, "Junja"},
        {VK_FINAL, "Final"},
        {VK_HANJA, "Hanja"},
        {VK_KANJI, "Kanji"},
        {VK_ESCAPE, "Escape"},
        {VK_CONVERT, "Convert"},
        {VK_NONCONVERT, "Non-convert"},
        {VK_ACCEPT, "Accept"},
        {VK_MODECHANGE, "Mode Change"},
        {VK_SPACE, "Space"},
        {VK_PRIOR, "Page Up"},
        {VK_NEXT, "Page Down"},
        {VK_END, "End"},
        {VK_HOME, "Home"},
        {VK_LEFT, "Left Arrow"},
        {VK_UP, "Up Arrow"},
        {VK_RIGHT, "Right Arrow"},
        {VK_DOWN, "Down Arrow"},
        {VK_SELECT, "Select"},
        {VK_PRINT, "Print"},
        {VK_EXECUTE, "Execute"},
        {VK_SNAPSHOT, "Snapshot"},
        {VK_INSERT, "Insert"},
        {VK_DELETE, "Del"},
        {VK_HELP, "Help"},
    };
    for (const auto& entry : kBeforeDigits) {
        AddText(entry.code, entry.text);
    }
    for (uint32_t i = 0; i < 10; ++i) {
        AddText(VK_0 + i, std::string(1, static_cast<char>('0' + i)));
    }
    for (uint32_t i = 0; i < 26; ++i) {
        AddText(VK_A + i, std::string(1, static_cast<char>('A' + i)));
    }
    AddText(VK_LWIN, "Left Win");
    AddText(VK_RWIN, "Right Win");
    AddText(VK_APPS, "Apps");
    AddText(VK_SLEEP, "Sleep");
    for (uint32_t i = 0; i < 10; ++i) {
        AddText(VK_NUMPAD0 + i, "Numpad " + std::to_string(i));
    }
    AddText(VK_MULTIPLY, "*");
    AddText(VK_ADD, "+");
    AddText(VK_SEPARATOR, "Separator");
    AddText(VK_SUBTRACT, "-");
    AddText(VK_DECIMAL, ".");
    AddText(VK_DIVIDE, "/");
    for (uint32_t i = 0; i < 24; ++i) {
        AddText(VK_F1 + i, "F" + std::to_string(i + 1));
    }
    const struct
    {
        uint32_t code;
        const char* text;
    } kAfterFunctionKeys[] = {
        {VK_NUMLOCK, "Numlock"},
        {VK_SCROLL, "Scroll"},
        {VK_OEM_NEC_EQUAL, "NEC Equal"},
        {VK_OEM_FJ_JISHO, "Jisho"},
        {VK_OEM_FJ_MASSHOU, "Masshou"},
        {VK_OEM_FJ_TOUROKU, "Touroku"},
        {VK_OEM_FJ_LOYA, "Loya"},
        {VK_OEM_FJ_ROYA, "Roya"},
        {VK_LSHIFT, "Left Shift"},
        {VK_RSHIFT, "Right Shift"},
        {VK_LCONTROL, "Left Control"},
        {VK_RCONTROL, "Right Control"},
        {VK_LMENU, "Left Menu"},
        {VK_RMENU, "Right Menu"},
        {VK_BROWSER_BACK, "Browser Back"},
        {VK_BROWSER_FORWARD, "Browser Forward"},
        {VK_BROWSER_REFRESH, "Browser Refresh"},
        {VK_BROWSER_STOP, "Browser Stop"},
        {VK_BROWSER_SEARCH, "Browser Search"},
        {VK_BROWSER_FAVORITES, "Browser Favorites"},
        {VK_BROWSER_HOME, "Browser Home"},
        {VK_VOLUME_MUTE, "Volume Mute"},
        {VK_VOLUME_DOWN, "Volume Down"},
        {VK_VOLUME_UP, "Volume Up"},
        {VK_MEDIA_NEXT_TRACK, "Media Next Track"},
        {VK_MEDIA_PREV_TRACK, "Media Prev Track"},
        {VK_MEDIA_STOP, "Media Stop"},
        {VK_MEDIA_PLAY_PAUSE, "Media Play Pause"},
        {VK_LAUNCH_MAIL, "Launch Mail"},
        {VK_LAUNCH_MEDIA_SELECT, "Launch Media Select"},
        {VK_LAUNCH_APP1, "Launch App 1"},
        {VK_LAUNCH_APP2, "Launch App 2"},
    };
    for (const auto& entry : kAfterFunctionKeys) {
        AddText(entry.code, entry.text);
    }
}

} // namespace

void BuildKeyNameTables()
{
    AddNames();
    AddTexts();
}

uint32_t GetVirtualKeyByName(const WideString& name)
{
    KeyNameTables& tables = Tables();
    if (tables.codesByName.empty()) {
        BuildKeyNameTables();
    }
    const auto found = tables.codesByName.find(name);
    return found == tables.codesByName.end() ? 0 : found->second;
}

WideString GetVirtualKeyDisplayName(uint32_t virtualKey)
{
    KeyNameTables& tables = Tables();
    if (tables.codesByName.empty()) {
        BuildKeyNameTables();
    }
    const auto found = tables.textsByCode.find(virtualKey);
    return found == tables.textsByCode.end() ? WideString() : found->second;
}

int32_t GetKeyNameCount()
{
    return static_cast<int32_t>(Tables().codesByName.size());
}

int32_t GetKeyDisplayNameCount()
{
    return static_cast<int32_t>(Tables().textsByCode.size());
}

} // namespace SV
