// The transport to simulated boards inside this process (boardsim).
#pragma once

#include <atomic>

#include "kxUsbBackend.h"

namespace boardsim {
class SimHost;
}

namespace kx {

class SimBackend : public UsbBackend {
public:
    // Serves the boards of host (the process's host by default).
    explicit SimBackend(boardsim::SimHost* host = nullptr);

    const char* name() const override { return "sim"; }

    // The present boards whose model announces the GUID, in arrival order. Does not block.
    EnumResult interfacePath(const Guid& interfaceGuid, int memberIndex,
                             std::string& path) override;

private:
    boardsim::SimHost& m_host;
    std::atomic<bool> m_configErrorSaid{false};
};

}  // namespace kx
