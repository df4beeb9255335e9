// One attachment of a simulated board to a port of the emulated bus: its device number and node,
// its descriptors, and a worker per endpoint. A board that leaves and comes back (unplugged and
// plugged, or restarted by a RAM load) is a new BoardPort with a new device number, as the kernel
// would give it; the old one stays known as gone, so a file still open on its node gets ENODEV.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "BoardDescriptors.h"
#include "EndpointWorker.h"
#include "board/CameraBoard.h"

namespace usbmock {

class BoardPort {
public:
    BoardPort(std::shared_ptr<boardsim::CameraBoard> board, int bus, int port, int devnum,
              OsDescriptors os);
    // leave()
    ~BoardPort();
    BoardPort(const BoardPort&) = delete;
    BoardPort& operator=(const BoardPort&) = delete;

    int devnum() const { return m_devnum; }
    const std::string& devNode() const { return m_devNode; }
    const std::string& sysPath() const { return m_sysPath; }
    // The umockdev record of the device (SysfsRecord).
    std::string record() const;
    const boardsim::CameraBoard& board() const { return *m_board; }

    // The worker of an endpoint address (0 for control); null for one the board does not have.
    EndpointWorker* worker(uint8_t endpoint);
    // CLEAR_HALT: 0 or a negative errno.
    int clearHalt(uint8_t endpoint);

    bool gone() const { return m_gone; }
    // The attachment ended: every transfer of it ends with -ENODEV.
    void leave();

private:
    std::shared_ptr<boardsim::CameraBoard> m_board;
    const int m_bus;
    const int m_port;
    const int m_devnum;
    const std::string m_devNode;
    const std::string m_sysPath;
    const BoardDescriptors m_descriptors;
    std::map<uint8_t, std::unique_ptr<EndpointWorker>> m_workers;
    std::atomic<bool> m_gone{false};
};

}  // namespace usbmock
