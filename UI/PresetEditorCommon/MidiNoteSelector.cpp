#include "PresetEditorCommon/MidiNoteSelector.h"

#include "ControlBase/ConditionsParam.h"
#include "ControlBase/ControlCreator.h"
#include "Controls/Label.h"
#include "Controls/NumericUpDown.h"
#include "DebugOutput.h"
#include "Notification/Notification.h"
#include "Notification/NotificationNames.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "Utilities/Storage/StringTable.h"

#include <cmath>
#include <string>

using namespace SV;

namespace {

constexpr double kHighestNote = 127.0;

} // namespace

LMidiNoteSelector::LMidiNoteSelector(const RCPtr<LControl>& parent, const WideString& name,
                                     bool mostDerived)
    : LPanel(parent, name, mostDerived)
{}

LMidiNoteSelector::~LMidiNoteSelector()
{
    mNoteNameLabel = nullptr;
    mOctaveNameLabel = nullptr;
    mUpDown = nullptr;
}

RCPtr<LControl> LMidiNoteSelector::CreateControl(const RCPtr<LControl>& parent,
                                                 const ConstRCPtr<LControlDescriptor>& descriptor)
{
    return CreateControlOf<LMidiNoteSelector>(parent, descriptor);
}

int32_t LMidiNoteSelector::Initialize()
{
    const int32_t result = LPanel::Initialize();
    if (result < 0) {
        return result;
    }
    mHandler.Create();
    mNoteNameLabel = RCPtr<LLabel>(FindChildControl(u"noteNameLabel"));
    mOctaveNameLabel = RCPtr<LLabel>(FindChildControl(u"octaveNameLabel"));
    mUpDown = RCPtr<LNumericUpDown>(FindChildControl(u"numericUpDown"));
    if (!mNoteNameLabel || !mOctaveNameLabel || !mUpDown) {
        const std::string text = "LMidiNoteSelector " + std::string(mName.ToNarrow().GetText()) +
                                 ": noteNameLabel, octaveNameLabel or numericUpDown is missing\n";
        svp::WriteDebuggerOutput(text.c_str(), text.size());
        mNoteNameLabel = nullptr;
        mOctaveNameLabel = nullptr;
        mUpDown = nullptr;
        return result;
    }
    mUpDown->SetValueRange(0.0, kHighestNote, 0);
    UpdateLabels();
    const int32_t registered =
        mHandler->RegisterHandler(&LMidiNoteSelector::OnValueChange,
                                  RCPtr<LNotificationDistributor>(mUpDown), kNidValueChange);
    if (registered < 0) {
        throw Exception<FailedResultException>(
            FormatFailedResult(registered, "LMidiNoteSelector::Initialize",
                               "UI\\PresetEditorCommon\\MidiNoteSelector", 31));
    }
    return S_OK;
}

int32_t LMidiNoteSelector::SetLabelFromStringTable(const RCPtr<LStringTable>& table, uint32_t index,
                                                   const RCPtr<LLabel>& label)
{
    LStringTable::Entries entries;
    if (!table || !label || table->GetSortedEntries(entries) < 0 ||
        index >= static_cast<uint32_t>(entries.GetCount())) {
        return S_OK;
    }
    return label->SetText(entries.At(static_cast<int32_t>(index))->second);
}

void LMidiNoteSelector::UpdateLabels()
{
    if (!mUpDown) {
        return;
    }
    const double value = std::trunc(mUpDown->GetValue());
    const uint32_t note = value > 0.0 ? static_cast<uint32_t>(value) : 0u;
    SetLabelFromStringTable(mNoteNameLabel->GetStringTable(), note % kNotesPerOctave,
                            mNoteNameLabel);
    SetLabelFromStringTable(mOctaveNameLabel->GetStringTable(), note / kNotesPerOctave,
                            mOctaveNameLabel);
}

int32_t LMidiNoteSelector::OnValueChange(const ConstRCPtr<LNotificationDistributor>& /*sender*/,
                                         const ConstRCPtr<LNotification>& notification)
{
    if (dynamic_cast<const LValueParam*>(notification->GetPayload().Get()) != nullptr) {
        UpdateLabels();
    }
    return 1;
}
