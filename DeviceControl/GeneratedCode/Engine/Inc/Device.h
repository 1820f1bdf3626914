// The keyboard in the model: the one child of the root and the owner of the four leaf modules,
// which it creates and numbers.
#pragma once

#include "Arpeggiator.h"
#include "CommunicationType.h"
#include "Octave.h"
#include "RootModuleInterface.h"
#include "Transpose.h"

class LDevice : public IDevice
{
public:
    // A new, unattached device with its four unattached leaves.
    static SV::RCPtr<LDevice> Create();

    SV::ConstRCPtr<ICommunicationType> GetCommunicationTypeConst() const override;
    SV::RCPtr<ICommunicationType> GetCommunicationType() override;
    SV::ConstRCPtr<IOctave> GetOctaveConst() const override;
    SV::RCPtr<IOctave> GetOctave() override;
    SV::ConstRCPtr<IArpeggiator> GetArpeggiatorConst() const override;
    SV::RCPtr<IArpeggiator> GetArpeggiator() override;
    SV::ConstRCPtr<ITranspose> GetTransposeConst() const override;
    SV::RCPtr<ITranspose> GetTranspose() override;

    // Numbers the leaves as every device does, then checks that the device's first id is the
    // root's; throws "Invalid FirstParamID" when it is not. A leaf checks against the same root
    // first, so a wrong id is usually reported by the communication type.
    void SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID,
                         int32_t reserved) override;

    // Makes the four leaves anew, in id order, releasing any earlier ones.
    virtual void CreateSubModules();

private:
    LDevice() = default;

    // Declared in id order, so they are released in the reverse order: transpose first.
    SV::RCPtr<LCommunicationType> mCommunicationType;
    SV::RCPtr<LOctave> mOctave;
    SV::RCPtr<LArpeggiator> mArpeggiator;
    SV::RCPtr<LTranspose> mTranspose;
};
