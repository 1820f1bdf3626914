#include "PresetEditorCommon/MidiManager.h"

#include "EngineNotificationNames.h"
#include "ObjectBase/Exception.h"
#include "ResultCodes.h"
#include "RootModuleEngine.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/ParamValues.h"
#include "Utilities/Storage/SimpleFixedArray.h"
#include "Utilities/Storage/Variant.h"
#include "WaitResults.h"

#include <algorithm>
#include <iterator>
#include <mutex>

namespace SV {
namespace {

constexpr const char* kSourcePath = "Engine\\PresetEditorCommon\\MidiManager";

constexpr uint8_t kSysExStart = 0xF0;
constexpr uint8_t kSysExEnd = 0xF7;

// The model's four values, in id order, make up the data of a program.
constexpr int32_t kProgramValueCount = 4;
constexpr uint32_t kProgramDataSize = 14;

// Every message of the exchange starts with the maker's and the device's bytes, then a command.
constexpr uint8_t kGetRequest[] = {0x47, 0x7F, 0x3E, 0x66, 0x00, 0x01};
constexpr uint8_t kSendProgram[] = {0x47, 0x7F, 0x3E, 0x5E, 0x00, 0x63};
constexpr uint8_t kReplyHeader[] = {0xF0, 0x47, 0x7F, 0x3E, 0x53, 0x00, 0x0F};
constexpr uint8_t kIdentityRequest[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
// A program reply: the header, the slot, the 14 data bytes and F7.
constexpr int32_t kReplySize = 23;
constexpr int32_t kReplySlot = 7;
constexpr int32_t kReplyDataStart = 8;
// What the get waits for while no get waits: no slot.
constexpr int32_t kNoSlot = -1;

[[noreturn]] void ThrowFailedResult(int32_t code, const char* function, int line)
{
    throw Exception<FailedResultException>(FormatFailedResult(code, function, kSourcePath, line));
}

// The delivery lock of a port layer; nothing for any other distributor.
std::unique_lock<Mutex> LockDelivery(const LNotificationDistributor* distributor)
{
    auto* portLayer = dynamic_cast<LMidiComm*>(const_cast<LNotificationDistributor*>(distributor));
    return portLayer != nullptr ? std::unique_lock<Mutex>(portLayer->GetDeliveryLock())
                                : std::unique_lock<Mutex>();
}

template <size_t N>
void AppendBytes(IArray<signed char>& list, const uint8_t (&bytes)[N])
{
    for (uint8_t byte : bytes) {
        list.Add(static_cast<signed char>(byte));
    }
}

uint8_t ByteAt(const IArray<signed char>& list, int32_t index)
{
    return static_cast<uint8_t>(*list.At(index));
}

// The slot travels as one data byte: anything else would end the message early (F7) or name
// another slot (0x101 would ask for slot 1).
bool IsSlot(int32_t slot)
{
    return slot >= 0 && slot <= 0x7F;
}

// 23 bytes starting F0 47 7F 3E 53 00 0F; the slot and the last byte are not looked at here.
bool IsProgramReply(const IArray<signed char>& bytes)
{
    if (bytes.GetCount() != kReplySize) {
        return false;
    }
    for (int32_t index = 0; index < static_cast<int32_t>(std::size(kReplyHeader)); ++index) {
        if (ByteAt(bytes, index) != kReplyHeader[index]) {
            return false;
        }
    }
    return true;
}

// The engine's current four values (fewer or none when it has no such values).
void ReadProgramValues(LRootModuleEngine* engine, Array<ParamValue>& values)
{
    values.RemoveAll();
    if (engine != nullptr &&
        engine->GetParamValues({engine->GetFirstParamID(), kProgramValueCount}, values, -1) < 0) {
        values.RemoveAll();
    }
}

} // namespace

RCPtr<LMidiManager> LMidiManager::Create()
{
    RCPtr<LMidiManager> manager(new LMidiManager());
    if (manager->mHandler) {
        manager->mPortLayer = LMidiComm::Create();
    }
    return manager;
}

LMidiManager::LMidiManager() : mHandler(new LNotificationHandler<LMidiManager>(this))
{}

LMidiManager::~LMidiManager() = default;

WideString LMidiManager::GetDevicePortName()
{
    return WideString(u"Vudozi Vedozi Duruzava");
}

bool LMidiManager::HasDevicePorts()
{
    const WideString name = GetDevicePortName();
    return FindDevicePorts(name, name);
}

bool LMidiManager::FindDevicePorts(const WideString& inputName, const WideString& outputName)
{
    if (mPortLayer) {
        UnregisterReplyHandler();
        mPortLayer = nullptr;
    }
    mPortLayer = LMidiComm::Create();
    RegisterReplyHandler();
    // A trial: both ports close again as they go.
    RCPtr<LMidiCapturePort> input;
    RCPtr<LMidiRenderPort> output;
    mPortLayer->OpenCapturePort(inputName, input);
    mPortLayer->OpenRenderPort(outputName, output);
    const bool found = input && output;
    output = nullptr;
    input = nullptr;
    return found;
}

int32_t LMidiManager::GetPresetFromMidiDevice(int32_t slot)
{
    if (!IsSlot(slot)) {
        return kDeviceNotFound;
    }
    const WideString name = GetDevicePortName();
    if (!FindDevicePorts(name, name)) {
        return kDeviceNotFound;
    }
    Array<signed char> request;
    AppendBytes(request, kGetRequest);
    request.Add(static_cast<signed char>(slot));

    // The input stays open and started for the whole get; both close as the get returns (or
    // throws).
    RCPtr<LMidiRenderPort> output;
    RCPtr<LMidiCapturePort> input;
    mPortLayer->OpenRenderPort(name, output);
    mPortLayer->OpenCapturePort(name, input);

    const int32_t registered = RegisterReplyHandler();
    if (registered < 0) {
        ThrowFailedResult(registered, "SV::LMidiManager::GetPresetFromMidiDevice", 265);
    }
    mReplyGate.Reset();
    mReplyRefused.store(false);
    // What came in before the request went out (a late answer to an earlier get) is no answer
    // to it, whichever slot it names.
    mFirstFreshInput.store(mPortLayer->GetCapturedCount() + 1);
    mAwaitedSlot.store(slot);

    // One attempt: the request is never repeated.
    int32_t result = kDeviceNotFound;
    if (SendSysEx(request, output) >= 0) {
        result = WaitForReply();
    }
    mAwaitedSlot.store(kNoSlot);

    const int32_t unregistered = UnregisterReplyHandler();
    if (unregistered < 0) {
        ThrowFailedResult(unregistered, "SV::LMidiManager::GetPresetFromMidiDevice", 301);
    }
    return result;
}

int32_t LMidiManager::SendPresetToMidiDevice(int32_t slot)
{
    if (!IsSlot(slot)) {
        return kDeviceNotFound;
    }
    const WideString name = GetDevicePortName();
    if (!FindDevicePorts(name, name)) {
        return kDeviceNotFound;
    }
    RCPtr<LMidiRenderPort> output;
    if (mPortLayer->OpenRenderPort(name, output) < 0 || !output) {
        return kDeviceNotFound;
    }
    Array<ParamValue> values;
    ReadProgramValues(GetRootModuleEngine().Get(), values);
    // A message without the whole program would tell the keyboard nothing, and reporting it
    // as sent would hide that the program never went out.
    if (values.GetCount() != kProgramValueCount) {
        return kDeviceNotFound;
    }

    Array<signed char> message;
    AppendBytes(message, kSendProgram);
    message.Add(static_cast<signed char>(slot));
    for (int32_t index = 0; index < values.GetCount(); ++index) {
        uint32_t size = 0;
        const uint8_t* data = values.At(index)->value.GetData(size);
        for (uint32_t offset = 0; data != nullptr && offset < size; ++offset) {
            message.Add(static_cast<signed char>(data[offset]));
        }
    }
    // Every byte between F0 and F7 must be a data byte: a value's F7 would otherwise end the
    // message early, and any other status byte cut it on the wire.
    for (int32_t index = 0; index < message.GetCount(); ++index) {
        if (ByteAt(message, index) >= 0x80) {
            return kDeviceNotFound;
        }
    }
    const int32_t sent = SendSysEx(message, output);
    return sent < 0 ? kDeviceNotFound : sent;
}

int32_t LMidiManager::OpenDeviceRenderPort(const WideString& /*text*/)
{
    const WideString name = GetDevicePortName();
    if (!FindDevicePorts(name, name)) {
        return kDeviceNotFound;
    }
    RCPtr<LMidiRenderPort> output;
    return mPortLayer->OpenRenderPort(name, output);
}

int32_t LMidiManager::RequestNonPresetParameterFromDevice(const WideString& /*text*/)
{
    const WideString name = GetDevicePortName();
    if (!FindDevicePorts(name, name)) {
        return E_FAIL;
    }
    RCPtr<LMidiRenderPort> output;
    RCPtr<LMidiCapturePort> input;
    mPortLayer->OpenRenderPort(name, output);
    const int32_t opened = mPortLayer->OpenCapturePort(name, input);
    const int32_t registered = RegisterReplyHandler();
    if (registered < 0) {
        ThrowFailedResult(registered, "SV::LMidiManager::RequestNonPresetParameterFromDevice", 419);
    }
    mParameterGate.Reset();
    const int32_t unregistered = UnregisterReplyHandler();
    if (unregistered < 0) {
        ThrowFailedResult(unregistered, "SV::LMidiManager::RequestNonPresetParameterFromDevice",
                          450);
    }
    return opened;
}

bool LMidiManager::IsDeviceFirmwareVersionUseable()
{
    const WideString name = GetDevicePortName();
    if (!FindDevicePorts(name, name)) {
        return false;
    }
    RCPtr<LMidiRenderPort> output;
    RCPtr<LMidiCapturePort> input;
    mPortLayer->OpenRenderPort(name, output);
    if (mPortLayer->OpenCapturePort(name, input) < 0) {
        return false;
    }
    const int32_t registered = RegisterReplyHandler();
    if (registered < 0) {
        ThrowFailedResult(registered, "SV::LMidiManager::IsDeviceFirmwareVersionUseable", 487);
    }
    mInquiryGate.Reset();
    int32_t result = -1;
    if (SendDeviceInquiry(output) >= 0) {
        // Nothing recognises the keyboard's answer to the inquiry: this waits the whole time.
        const bool answered =
            mInquiryGate.IsSignaled() || mInquiryGate.Wait(mReplyTimeout.load()) == WAIT_OBJECT_0;
        result = answered ? 0 : -2;
    }
    const int32_t unregistered = UnregisterReplyHandler();
    if (unregistered < 0) {
        ThrowFailedResult(unregistered, "SV::LMidiManager::IsDeviceFirmwareVersionUseable", 518);
    }
    return result >= 0;
}

int32_t LMidiManager::SendDeviceInquiry(const RCPtr<LMidiRenderPort>& port)
{
    if (!port) {
        return E_FAIL;
    }
    SimpleFixedArray<signed char, 8> inquiry;
    AppendBytes(inquiry, kIdentityRequest);
    return SendSysEx(inquiry, port);
}

int32_t LMidiManager::SendSysEx(IArray<signed char>& bytes, const RCPtr<LMidiRenderPort>& port)
{
    if (!port || !mPortLayer) {
        return kDeviceNotFound;
    }
    const int32_t count = bytes.GetCount();
    if (count == 0) {
        return E_FAIL;
    }
    const uint8_t first = ByteAt(bytes, 0);
    if (count < 2) {
        if (first == kSysExStart || first == kSysExEnd) {
            return E_FAIL;
        }
        bytes.InsertItemAt(0, static_cast<signed char>(kSysExStart));
        bytes.Add(static_cast<signed char>(kSysExEnd));
    } else {
        if (first != kSysExStart) {
            bytes.InsertItemAt(0, static_cast<signed char>(kSysExStart));
        }
        if (ByteAt(bytes, bytes.GetCount() - 1) != kSysExEnd) {
            bytes.Add(static_cast<signed char>(kSysExEnd));
        }
    }
    // A status byte inside would end the message early on the wire, or start another.
    for (int32_t index = 1; index + 1 < bytes.GetCount(); ++index) {
        if (ByteAt(bytes, index) >= 0x80) {
            return E_FAIL;
        }
    }
    return mPortLayer->Send(ConstRCPtr<LRefCountedObject>(port), bytes);
}

int32_t LMidiManager::OnMidiDataCaptured(const ConstRCPtr<LNotificationDistributor>& sender,
                                         const ConstRCPtr<LNotification>& notification)
{
    const auto* data =
        notification
            ? dynamic_cast<const LMidiCaptureNotificationData*>(notification->GetPayload().Get())
            : nullptr;
    // Runs under the delivery lock of the sender, which every change of the port layer waits
    // for: the current one cannot change meanwhile.
    const LNotificationDistributor* current = mPortLayer.Get();
    if (data == nullptr || sender.Get() == nullptr || sender.Get() != current) {
        return 1;
    }
    Array<signed char> bytes;
    bytes.Append(data->GetBytes());
    // Only the reply to the request of the get that waits is applied: not a second reply to
    // it, not a reply for another slot, and not one that came before the request went out.
    if (!IsProgramReply(bytes) || mReplyGate.IsSignaled() ||
        data->GetSequence() < mFirstFreshInput.load() ||
        ByteAt(bytes, kReplySlot) != mAwaitedSlot.load()) {
        return 1;
    }
    const RCPtr<LRootModuleEngine> engine = GetRootModuleEngine();
    Array<ParamValue> values;
    ReadProgramValues(engine.Get(), values);
    // The reply is cut by the sizes the values have now. Sizes beyond the 14 data bytes would
    // read the F7 and past it, so they do not describe this reply; data bytes the sizes leave
    // over are ignored.
    uint64_t total = 0;
    for (int32_t index = 0; index < values.GetCount(); ++index) {
        uint32_t size = 0;
        values.At(index)->value.GetData(size);
        total += size;
    }
    if (values.GetCount() != kProgramValueCount || total > kProgramDataSize) {
        return 1;
    }
    bool refused = false;
    int32_t offset = kReplyDataStart;
    for (int32_t index = 0; index < values.GetCount(); ++index) {
        uint32_t size = 0;
        values.At(index)->value.GetData(size);
        Variant blob;
        blob.SetBlob(bytes.GetData() + offset, size);
        if (engine->SetParamValue(ParamDescriptor(values.At(index)->descriptor.id), blob) < 0) {
            refused = true;
        }
        offset += static_cast<int32_t>(size);
    }
    mReplyRefused.store(refused);
    mReplyGate.Set();
    return 1;
}

void LMidiManager::Receive(const ConstRCPtr<LNotificationDistributor>& sender,
                           const ConstRCPtr<LNotification>& notification)
{
    if (mHandler && mHandler->HandleNotification(sender, notification) != 0) {
        return;
    }
    LNotificationClient::Receive(sender, notification);
}

int32_t LMidiManager::Unregister(const RCPtr<LNotificationDistributor>& distributor,
                                 const char16_t* name)
{
    const std::unique_lock<Mutex> delivery = LockDelivery(distributor.Get());
    if (mHandler) {
        mHandler->UnregisterHandler(distributor, name);
    }
    return LNotificationClient::Unregister(distributor, name);
}

int32_t LMidiManager::ReleaseHook()
{
    // The manager is registered with its current port layer only.
    const std::unique_lock<Mutex> delivery = LockDelivery(mPortLayer.Get());
    return LNotificationClient::ReleaseHook();
}

int32_t LMidiManager::RegisterReplyHandler()
{
    if (!mHandler || !mPortLayer) {
        return E_FAIL;
    }
    const std::unique_lock<Mutex> delivery(mPortLayer->GetDeliveryLock());
    return mHandler->RegisterHandler(&LMidiManager::OnMidiDataCaptured, mPortLayer,
                                     kNidMidiDataCaptured);
}

int32_t LMidiManager::UnregisterReplyHandler()
{
    if (!mHandler || !mPortLayer) {
        return E_FAIL;
    }
    const std::unique_lock<Mutex> delivery(mPortLayer->GetDeliveryLock());
    const bool removed = mHandler->UnregisterHandler(mPortLayer, kNidMidiDataCaptured);
    const int32_t result = LNotificationClient::Unregister(mPortLayer, kNidMidiDataCaptured);
    return removed ? result : E_FAIL;
}

int32_t LMidiManager::WaitForReply()
{
    const bool applied =
        mReplyGate.IsSignaled() || mReplyGate.Wait(mReplyTimeout.load()) == WAIT_OBJECT_0;
    // Values the engine refused leave the editor without the program: no success.
    return applied && !mReplyRefused.load() ? 0 : kNoReply;
}

} // namespace SV
