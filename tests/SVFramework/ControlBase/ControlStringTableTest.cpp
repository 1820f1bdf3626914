#include "ControlApplicationDouble.h"
#include "Notification/NotificationNames.h"
#include "TempFolder.h"

#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "Controls/ControlTypes.h"
#include "ResultCodes.h"

#include <gtest/gtest.h>

#include <string>

using namespace SV;

namespace {

// The document as UTF-16 with a little-endian byte-order mark, as the string tables are stored.
std::string Utf16File(const std::u16string& text)
{
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += char(unit & 0xFF);
        bytes += char(unit >> 8);
    }
    return bytes;
}

TEST(ControlStringTableTest, LabelToolTipAndLocalKeysComeFromTheControlsTable)
{
    svtest::TempFolder folder;
    svtest::ControlApplicationDouble app;
    folder.WriteFile("StringTables.xml", Utf16File(uR"(<?xml version="1.0" encoding="UTF-16"?>
<Tables><Application Name="PresetEditor">
  <StringTable ID="Framework.Panel|open">
    <String ID="LABEL"><Locale LCID="0x0009">Open Program</Locale></String>
    <String ID="TOOLTIP"><Locale LCID="0x0009">Opens a program file</Locale></String>
    <String ID="LHK.NID_SIMULATE_CLICK"><Locale LCID="0x0009">VKEY_RETURN</Locale></String>
  </StringTable>
</Application></Tables>
)"));
    folder.WriteFile("FrameworkStrings.xml", Utf16File(uR"(<?xml version="1.0" encoding="UTF-16"?>
<Tables><Application Name="PresetEditor"/></Tables>
)"));
    folder.WriteFile("Skins.xml", R"(<Skins><Application Name="PresetEditor"/>
  <Skins><Skin Name="Default">
    <SubControl Class="Framework.Panel" Name="window">
      <Skin Name="window">
        <SubControl Class="Framework.Label" Name="open"/>
        <SubControl Class="Framework.Label" Name="plain"/>
      </Skin>
    </SubControl>
  </Skin></Skins>
</Skins>
)");
    ASSERT_EQ(app.mFactory->LoadResources(WideString(folder.Path().c_str()), 0x0409), S_OK);
    RegisterFrameworkControlTypes(*app.mFactory);
    RCPtr<LRootWindow> window = app.AddRootWindow({0, 0, 300, 200});
    RCPtr<LControl> root = app.mFactory->CreateRootControl(u"window", window);
    ASSERT_TRUE(root);

    const RCPtr<LControl>& open = root->FindChildControl(u"open");
    ASSERT_TRUE(open);
    EXPECT_TRUE(open->GetText().EqualsText(u"Open Program"));
    EXPECT_TRUE(open->GetToolTipText().EqualsText(u"Opens a program file"));
    EXPECT_TRUE(open->GetLocalHotKeys().HasName(kNidSimulateClick));

    // Without a table of its own a control has no label, tool tip or keys.
    const RCPtr<LControl>& plain = root->FindChildControl(u"plain");
    ASSERT_TRUE(plain);
    EXPECT_TRUE(plain->GetText().IsEmpty());
    EXPECT_TRUE(plain->GetToolTipText().IsEmpty());
    EXPECT_TRUE(plain->GetLocalHotKeys().IsEmpty());
    root->Detach();
}

} // namespace
