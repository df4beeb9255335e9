// The transport to simulated boards inside this process (boardsim).
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

#include "usb/kxHotplugQueue.h"
#include "usb/kxModelRows.h"
#include "usb/kxUsbBackend.h"
#include "usb/sim/kxSimTransferLog.h"

namespace boardsim {
class SimHost;
}

namespace kx {

class SimBackend : public UsbBackend {
public:
    // Serves the boards of host (the process's host by default).
    explicit SimBackend(boardsim::SimHost* host = nullptr);
    ~SimBackend() override;

    const char* name() const override { return "sim"; }

    // The present boards whose model announces the GUID, in arrival order. Does not block.
    EnumResult interfacePath(const Guid& interfaceGuid, int memberIndex,
                             std::string& path) override;
    // ENODEV for a path that is not plugged in. Does not block.
    std::unique_ptr<UsbDevice> open(const std::string& path) override;
    // Arrivals and removals of boards whose model's GUID is among the model rows are told, with
    // the row's label, on a thread of the backend, in order, after the board arrived or left
    // (whoever plugs, unplugs or restarts it goes on at once).
    bool setHotplugHandler(HotplugHandler handler) override;
    // The model rows hot-plug tells of. Does not block.
    void setModelGuids(std::map<std::string, Guid> labelToGuid) override;
    // Waits until the events of the boards' arrivals and removals so far were told.
    bool waitHotplugDelivered(std::chrono::milliseconds timeout) {
        return m_hotplug->queue.waitDelivered(timeout);
    }

    // Every operation carried out on the devices this backend opened.
    SimTransferLog& transferLog() { return m_log; }

private:
    // Shared with the host's listener, which may run while the backend goes away.
    struct HotplugState {
        HotplugQueue queue;
        std::mutex modelMutex;
        ModelRows models;
    };

    boardsim::SimHost& m_host;
    std::atomic<bool> m_configErrorSaid{false};
    SimTransferLog m_log;
    std::shared_ptr<HotplugState> m_hotplug = std::make_shared<HotplugState>();
    int m_listenerId = 0;
};

}  // namespace kx
