#include "DriverCommon/MainControl.h"
#include "EngineNotificationNames.h"
#include "Notification/NotificationNames.h"

#include "EditorSkinFixture.h"
#include "EditorSkins.h"
#include "ExceptionText.h"

#include "Controls/NumericUpDown.h"
#include "OctaveEditPanel.h"
#include "RootModuleEngine.h"
#include "TransposeEditPanel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using SV::RCPtr;
using SetCall = svtest::ValueStoreEngine::SetCall;

SV::Variant Blob(const Bytes& bytes)
{
    SV::Variant value;
    value.SetBlob(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return value;
}

RCPtr<ParamValuePair> Pair(int32_t id, const SV::Variant& value)
{
    return RCPtr<ParamValuePair>(new ParamValuePair(SV::ParamDescriptor(id), value));
}

const char* const kStrings = R"(
<StringTable ID="PresetEditor|mainControl">
  <String ID="HARDWARE_CONFIG_ERROR_MESSAGE"><Locale LCID="0x0009">No keyboard found</Locale></String>
  <String ID="HARDWARE_CONFIG_ERROR_TITLE"><Locale LCID="0x0009">Hardware</Locale></String>
</StringTable>
)";

class MainControlTest : public svtest::EditorSkinFixture
{
protected:
    void SetUp() override
    {
        Load(svtest::MainControlSkin(svtest::TransposePanelSkin()), kStrings);
        main = RCPtr<SV::LMainControl>(CreateWindow(u"mainControl"));
        ASSERT_TRUE(main);
        octave = RCPtr<LOctaveEditPanel>(main->GetDevice()->GetOctave());
        transpose = RCPtr<LTransposeEditPanel>(main->GetDevice()->GetTranspose());
        ASSERT_TRUE(octave && transpose);
        octaveUpDown = FindUpDown(octave, u"octaveNumericUpDown");
        transposeUpDown = FindUpDown(transpose, u"transposeNumericUpDown");
    }

    static RCPtr<SV::LNumericUpDown> FindUpDown(const RCPtr<SV::LControl>& panel,
                                                const char16_t* name)
    {
        return RCPtr<SV::LNumericUpDown>(panel->FindChildControl(name));
    }

    // The user sets an up-down to a value, as its text box or arrows would.
    static void Choose(const RCPtr<SV::LNumericUpDown>& upDown, double value)
    {
        upDown->SetNormalizedValue(upDown->ValueToNormalized(value));
    }

    RCPtr<SV::LMainControl> main;
    RCPtr<LOctaveEditPanel> octave;
    RCPtr<LTransposeEditPanel> transpose;
    RCPtr<SV::LNumericUpDown> octaveUpDown;
    RCPtr<SV::LNumericUpDown> transposeUpDown;
};

TEST_F(MainControlTest, InitialisationNumbersThePanelsAndSwitchesPollingOn)
{
    EXPECT_EQ(octave->GetFirstParamID(), 1);
    EXPECT_EQ(transpose->GetFirstParamID(), 3);
    EXPECT_EQ(main->GetModuleForParamID(1).Get(), static_cast<LParameterizedModule*>(octave.Get()));
    EXPECT_FALSE(main->GetModuleForParamID(4));
    EXPECT_EQ(engine->pollingSwitches, 1);

    // A skin applied again keeps the window's place and switches polling on again.
    SV::RectT<double> placement{10, 20, 1200, 720};
    EXPECT_EQ(main->OnPlaceRootWindow(placement), S_OK);
    EXPECT_EQ(placement.x, 10);
    EXPECT_EQ(engine->pollingSwitches, 2);
}

TEST_F(MainControlTest, UserChangesGoToTheEngineAsTheParametersByte)
{
    // The byte is the value plus the panel's offset: octave -4..4 over 4, transpose -12..12
    // over 12.
    Choose(octaveUpDown, 4);
    Choose(octaveUpDown, -4);
    Choose(transposeUpDown, 12);
    Choose(transposeUpDown, -12);
    EXPECT_EQ(engine->SetCalls(),
              (std::vector<SetCall>{{1, {0x08}}, {1, {0x00}}, {3, {0x18}}, {3, {0x00}}}));
}

TEST_F(MainControlTest, AnEngineValueReachesItsPanelWithoutBeingSentBack)
{
    NotifyCentre(SV::kNidParamModuleStateChange, Pair(1, Blob({0x06})));
    EXPECT_EQ(octaveUpDown->GetValue(), 2.0);
    NotifyCentre(SV::kNidParamModuleStateChange, Pair(3, Blob({0x0B})));
    EXPECT_EQ(transposeUpDown->GetValue(), -1.0);
    EXPECT_TRUE(engine->SetCalls().empty());

    // Once the apply is over, the user's changes are sent again.
    Choose(octaveUpDown, 3);
    EXPECT_EQ(engine->SetCalls(), (std::vector<SetCall>{{1, {0x07}}}));
}

TEST_F(MainControlTest, OnlyTheParameterBeingAppliedIsHeldBack)
{
    // While octave is applied, a change of transpose that it causes still goes out.
    struct Cascade : SV::LNotificationClient
    {
        void Receive(const SV::ConstRCPtr<SV::LNotificationDistributor>&,
                     const SV::ConstRCPtr<SV::LNotification>&) override
        {
            if (target) {
                target->SetNormalizedValue(target->ValueToNormalized(5));
            }
        }
        RCPtr<SV::LNumericUpDown> target;
    };
    RCPtr<Cascade> cascade(new Cascade());
    cascade->target = transposeUpDown;
    cascade->Register(RCPtr<SV::LNotificationDistributor>(octaveUpDown), SV::kNidValueChange);
    NotifyCentre(SV::kNidParamModuleStateChange, Pair(1, Blob({0x05})));
    cascade->UnregisterAll();
    EXPECT_EQ(engine->SetCalls(), (std::vector<SetCall>{{3, {0x11}}}));
}

TEST_F(MainControlTest, ValuesWithoutAPanelOrWithoutBytesChangeNothing)
{
    Choose(octaveUpDown, 1);
    engine->Refuse(true);
    for (const auto& payload : {Pair(1, SV::Variant()), Pair(4, Blob({0x00})),
                                Pair(-8, Blob({0x00})), Pair(-2, Blob({0x01}))}) {
        NotifyCentre(SV::kNidParamModuleStateChange, payload);
    }
    EXPECT_EQ(octaveUpDown->GetValue(), 1.0);
    EXPECT_EQ(engine->remoteDeviceQueries, 0);
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

TEST_F(MainControlTest, AListOfValuesIsAppliedInRecordOrder)
{
    SV::ParamValues values;
    ASSERT_EQ(values.SetEntry(SV::ParamDescriptor(1), Blob({0x02})), S_OK);
    ASSERT_EQ(values.SetEntry(SV::ParamDescriptor(3), Blob({0x0E})), S_OK);
    ASSERT_EQ(values.SetEntry(SV::ParamDescriptor(4), Blob({0x00})), S_OK);
    NotifyCentre(SV::kNidParamModuleStateChange, RCPtr<ParamValueList>(new ParamValueList(values)));
    EXPECT_EQ(octaveUpDown->GetValue(), -2.0);
    EXPECT_EQ(transposeUpDown->GetValue(), 2.0);
    EXPECT_TRUE(engine->SetCalls().empty());

    // A list that is no list, or too short to hold a record, applies nothing.
    SV::Variant notAList;
    notAList.SetBlob("\x05\x00\x00\x00\x00", 5);
    NotifyCentre(SV::kNidParamModuleStateChange,
                 RCPtr<ParamValueList>(new ParamValueList(SV::ParamValues(notAList))));
    EXPECT_EQ(octaveUpDown->GetValue(), -2.0);
}

TEST_F(MainControlTest, AListWhoseRecordLengthIsZeroIsNotCountedForever)
{
    Choose(octaveUpDown, 1);
    SV::ParamValues values;
    ASSERT_EQ(values.SetEntry(SV::ParamDescriptor(1), Blob({0x02})), S_OK);
    uint32_t size = 0;
    uint8_t* data = values.GetData(size);
    ASSERT_GT(size, 4u);
    data[0] = data[1] = data[2] = data[3] = 0; // a damaged length word
    NotifyCentre(SV::kNidParamModuleStateChange, RCPtr<ParamValueList>(new ParamValueList(values)));
    EXPECT_EQ(octaveUpDown->GetValue(), 1.0);
}

TEST_F(MainControlTest, TheHardwareCheckEndsTheProgramWhenTheEngineFindsNoDevices)
{
    NotifyCentre(SV::kNidParamModuleStateChange, Pair(-2, SV::Variant()));
    EXPECT_EQ(engine->remoteDeviceQueries, 1);
    EXPECT_TRUE(desktop.messageBoxes.empty());
    EXPECT_EQ(DeliverPosted(SV::kNidAppExitRequest), 0);

    engine->remoteDevicesResult = E_FAIL;
    NotifyCentre(SV::kNidParamModuleStateChange, Pair(-2, SV::Variant()));
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "No keyboard found");
    EXPECT_EQ(desktop.messageBoxes[0].caption, "Hardware");
    EXPECT_EQ(desktop.messageBoxes[0].style, 0x10u);
    EXPECT_EQ(DeliverPosted(SV::kNidAppExitRequest), 1);
}

class MainControlSkinTest : public svtest::EditorSkinFixture
{};

TEST_F(MainControlSkinTest, AMainControlWithoutItsDeviceViewCannotBeBuilt)
{
    Load(svtest::MainControlSkin("", false));
    const std::string text = svtest::ExceptionTextOf<SV::Exception<std::runtime_error>>(
        [&] { CreateWindow(u"mainControl"); });
    EXPECT_EQ(text, "Runtime Error : Null Pointer : LMainControl couldn't find viewDevice : "
                    "SV::LMainControl::Initialize : UI\\DriverCommon\\MainControl : Line 38");
}

} // namespace
