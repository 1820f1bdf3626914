#include "Device.h"

SV::RCPtr<LDevice> LDevice::Create()
{
    SV::RCPtr<LDevice> device(new LDevice());
    device->CreateSubModules();
    return device;
}

void LDevice::CreateSubModules()
{
    mCommunicationType = LCommunicationType::Create();
    mOctave = LOctave::Create();
    mArpeggiator = LArpeggiator::Create();
    mTranspose = LTranspose::Create();
}

SV::ConstRCPtr<ICommunicationType> LDevice::GetCommunicationTypeConst() const
{
    return mCommunicationType;
}

SV::RCPtr<ICommunicationType> LDevice::GetCommunicationType()
{
    return mCommunicationType;
}

SV::ConstRCPtr<IOctave> LDevice::GetOctaveConst() const
{
    return mOctave;
}

SV::RCPtr<IOctave> LDevice::GetOctave()
{
    return mOctave;
}

SV::ConstRCPtr<IArpeggiator> LDevice::GetArpeggiatorConst() const
{
    return mArpeggiator;
}

SV::RCPtr<IArpeggiator> LDevice::GetArpeggiator()
{
    return mArpeggiator;
}

SV::ConstRCPtr<ITranspose> LDevice::GetTransposeConst() const
{
    return mTranspose;
}

SV::RCPtr<ITranspose> LDevice::GetTranspose()
{
    return mTranspose;
}

void LDevice::SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID, int32_t reserved)
{
    IDevice::SetFirstParamID(parent, firstParamID, reserved);
    if (firstParamID != GetRoot()->GetFirstParamID()) {
        ThrowLogicError("Invalid FirstParamID", "LDevice::SetFirstParamID",
                        "..\\DeviceControl\\GeneratedCode\\Engine\\Src\\Device", 72);
    }
}
