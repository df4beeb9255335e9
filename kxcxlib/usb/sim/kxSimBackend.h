// The transport to simulated boards inside this process (boardsim).
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "kxSimTransferLog.h"
#include "kxUsbBackend.h"

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
    // Arrivals and removals are told on the thread that plugs or unplugs the board.
    bool setHotplugHandler(HotplugHandler handler) override;

    // Every operation carried out on the devices this backend opened.
    SimTransferLog& transferLog() { return m_log; }

private:
    // Shared with the host's listener, which may run while the backend goes away.
    struct HotplugState {
        std::mutex mutex;
        HotplugHandler handler;
    };

    boardsim::SimHost& m_host;
    std::atomic<bool> m_configErrorSaid{false};
    SimTransferLog m_log;
    std::shared_ptr<HotplugState> m_hotplug = std::make_shared<HotplugState>();
    int m_listenerId = 0;
};

}  // namespace kx
