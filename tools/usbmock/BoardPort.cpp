#include "BoardPort.h"

#include <cerrno>

#include "SysfsRecord.h"

namespace usbmock {

BoardPort::BoardPort(std::shared_ptr<boardsim::CameraBoard> board, int bus, int port, int devnum,
                     OsDescriptors os)
    : m_board(std::move(board)),
      m_bus(bus),
      m_port(port),
      m_devnum(devnum),
      m_devNode(SysfsRecord::devNode(bus, devnum)),
      m_sysPath(SysfsRecord::sysPath(bus, port)),
      m_descriptors(*m_board, os) {
    const uint64_t attachment = m_board->attachment();
    m_workers[0] = std::make_unique<EndpointWorker>(m_board, attachment, 0, m_descriptors);
    for (const boardsim::EndpointInfo& endpoint : m_board->endpoints()) {
        m_workers[endpoint.address] =
            std::make_unique<EndpointWorker>(m_board, attachment, endpoint.address, m_descriptors);
    }
}

BoardPort::~BoardPort() {
    leave();
}

std::string BoardPort::record() const {
    return SysfsRecord::device(m_bus, m_port, m_devnum, m_descriptors.sysfsDescriptors());
}

EndpointWorker* BoardPort::worker(uint8_t endpoint) {
    const auto it = m_workers.find(endpoint);
    return it != m_workers.end() ? it->second.get() : nullptr;
}

int BoardPort::clearHalt(uint8_t endpoint) {
    if (m_gone) {
        return -ENODEV;
    }
    if (endpoint == 0 || worker(endpoint) == nullptr) {
        return -ENOENT;
    }
    return m_board->clearHalt(endpoint);
}

void BoardPort::leave() {
    m_gone = true;
    for (auto& [address, worker] : m_workers) {
        worker->stop();
    }
}

}  // namespace usbmock
