// A MIDI note picker ("PresetEditor.MidiNoteSelector"): a numeric up-down from 0 to 127 with two
// labels beside it that name the note within its octave and the octave, each from its own string
// table (entry n of the note names for note n mod 12, entry n of the octave names for n div 12,
// in the order of their string IDs). It sends no value anywhere.
#pragma once

#include "Controls/Panel.h"

namespace SV {
class LLabel;
class LNumericUpDown;
class LStringTable;
} // namespace SV

class LMidiNoteSelector : public SV::LPanel
{
public:
    static constexpr int32_t kNotesPerOctave = 12;

    LMidiNoteSelector(const SV::RCPtr<SV::LControl>& parent, const SV::WideString& name,
                      bool mostDerived = true);
    ~LMidiNoteSelector() override;

    static SV::RCPtr<SV::LControl>
    CreateControl(const SV::RCPtr<SV::LControl>& parent,
                  const SV::ConstRCPtr<SV::LControlDescriptor>& descriptor);

    // Finds "noteNameLabel", "octaveNameLabel" and "numericUpDown", gives the up-down the note
    // range, shows its note and follows its changes. Without one of the three the selector
    // reports it and stays as it is.
    int32_t Initialize() override;

    // Sets the label to the text of entry `index` of the table in string-ID order: the text
    // set's result. Nothing changes, and the answer is 0, without a table or such an entry.
    virtual int32_t SetLabelFromStringTable(const SV::RCPtr<SV::LStringTable>& table,
                                            uint32_t index, const SV::RCPtr<SV::LLabel>& label);
    // Shows the up-down's note in the two labels.
    void UpdateLabels();

private:
    int32_t OnValueChange(const SV::ConstRCPtr<SV::LNotificationDistributor>& sender,
                          const SV::ConstRCPtr<SV::LNotification>& notification);

    SV::ControlNotificationHandler<LMidiNoteSelector> mHandler{this};
    SV::RCPtr<SV::LLabel> mNoteNameLabel;
    SV::RCPtr<SV::LLabel> mOctaveNameLabel;
    SV::RCPtr<SV::LNumericUpDown> mUpDown;
};
