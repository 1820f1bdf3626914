#include "EditorControlTypes.h"

#include "AboutDlg.h"
#include "ArpeggiatorEditPanel.h"
#include "CommunicationTypeEditPanel.h"
#include "ControlBase/ControlFactory.h"
#include "Controls/Label.h"
#include "Controls/Panel.h"
#include "DeviceView.h"
#include "DriverCommon/MainControl.h"
#include "OctaveEditPanel.h"
#include "PresetEditorCommon/MidiNoteSelector.h"
#include "TransposeEditPanel.h"

int32_t RegisterEditorControlTypes(SV::LControlFactory& factory)
{
    static const struct
    {
        const char16_t* className;
        SV::ControlCreateFunction function;
    } kTable[] = {
        {u"PresetEditor.MainControl", &SV::LMainControl::CreateControl},
        {u"PresetEditor.MainControl.DeviceView", &LDeviceView::CreateControl},
        {u"PresetEditor.MainControl.DeviceView.ControllerBody", &SV::LLabel::CreateControl},
        {u"PresetEditor.TransposePanel", &SV::LPanel::CreateControl},
        {u"PresetEditor.ProgramBankPanel", &SV::LPanel::CreateControl},
        {u"PresetEditor.ChannelCommType", &LCommunicationTypeEditPanel::CreateControl},
        {u"PresetEditor.Arpeggiator", &LArpeggiatorEditPanel::CreateControl},
        {u"PresetEditor.Octave", &LOctaveEditPanel::CreateControl},
        {u"PresetEditor.Transpose", &LTransposeEditPanel::CreateControl},
        {u"PresetEditor.DialogAbout", &LAboutDlg::CreateControl},
        {u"PresetEditor.MidiNoteSelector", &LMidiNoteSelector::CreateControl},
    };
    for (const auto& row : kTable) {
        const int32_t result = factory.RegisterControlCreateFunction(row.className, row.function);
        if (result < 0) {
            return result;
        }
    }
    return 0;
}
