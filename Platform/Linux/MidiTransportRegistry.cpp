#include "MidiTransports.h"
#include "SystemMidiTransports.h"

#include <algorithm>
#include <mutex>

namespace svp::midi {
namespace {

// Never destroyed, so that devices withdrawn during exit still find it.
struct Registry
{
    std::mutex mutex;
    std::vector<std::shared_ptr<Transport>> transports = MakeSystemTransports();
};

Registry& TheRegistry()
{
    static auto* registry = new Registry;
    return *registry;
}

} // namespace

void RegisterTransport(const std::shared_ptr<Transport>& transport)
{
    if (!transport) {
        return;
    }
    Registry& registry = TheRegistry();
    const std::lock_guard<std::mutex> lock(registry.mutex);
    auto& transports = registry.transports;
    if (std::find(transports.begin(), transports.end(), transport) == transports.end()) {
        transports.push_back(transport);
    }
}

void UnregisterTransport(const std::shared_ptr<Transport>& transport)
{
    Registry& registry = TheRegistry();
    const std::lock_guard<std::mutex> lock(registry.mutex);
    auto& transports = registry.transports;
    transports.erase(std::remove(transports.begin(), transports.end(), transport),
                     transports.end());
}

void AppendRegisteredDevices(bool inputs, std::vector<DeviceEntry>& devices)
{
    std::vector<std::shared_ptr<Transport>> transports;
    {
        // Listed outside the lock: a transport may take its time (a server to reach).
        Registry& registry = TheRegistry();
        const std::lock_guard<std::mutex> lock(registry.mutex);
        transports = registry.transports;
    }
    for (const std::shared_ptr<Transport>& transport : transports) {
        const size_t first = devices.size();
        transport->AppendDevices(inputs, devices);
        for (size_t index = first; index < devices.size(); ++index) {
            devices[index].transport = transport;
        }
    }
}

} // namespace svp::midi
