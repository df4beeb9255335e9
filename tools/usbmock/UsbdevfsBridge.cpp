#include "UsbdevfsBridge.h"

#include "SysfsRecord.h"

namespace usbmock {

UsbdevfsBridge::UsbdevfsBridge(boardsim::SimHost& host, OsDescriptors os)
    : m_host(host),
      m_os(os),
      m_dispatcher([this](const std::string& devNode) -> std::shared_ptr<BoardPort> {
          std::lock_guard lock(m_mutex);
          const auto it = m_byNode.find(devNode);
          return it != m_byNode.end() ? it->second : nullptr;
      }),
      m_testbed(m_dispatcher.handler()) {
    m_testbed.add(SysfsRecord::rootHub(kBus));
    for (const auto& board : m_host.presentBoards()) {
        arrive(board->path());
    }
    m_relay = std::make_shared<PlugRelay>([this](const std::string& path, bool arrived) {
        if (arrived) {
            arrive(path);
        } else {
            leave(path);
        }
    });
    m_listener = m_host.addListener(
        [relay = m_relay](const std::string& path, bool arrived) { relay->post(path, arrived); });
}

UsbdevfsBridge::~UsbdevfsBridge() {
    m_host.removeListener(m_listener);
    m_relay->close();
    std::lock_guard lock(m_mutex);
    for (auto& [node, port] : m_byNode) {
        port->leave();
    }
}

std::string UsbdevfsBridge::devicePath(const std::string& boardPath) const {
    const int port = portOf(boardPath);
    return port > 0 ? "usb:" + std::to_string(kBus) + "-" + std::to_string(port) : std::string();
}

int UsbdevfsBridge::portOf(const std::string& boardPath) const {
    const auto boards = m_host.boards();
    for (std::size_t i = 0; i < boards.size(); ++i) {
        if (boards[i]->path() == boardPath) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

void UsbdevfsBridge::arrive(const std::string& boardPath) {
    const auto board = m_host.board(boardPath);
    const int number = portOf(boardPath);
    if (!board || number == 0) {
        return;
    }
    leave(boardPath);  // an arrival for a board still on the bus ends its old attachment
    std::shared_ptr<BoardPort> port;
    {
        std::lock_guard lock(m_mutex);
        port = std::make_shared<BoardPort>(board, kBus, number, m_nextDevnum++, m_os);
        m_byNode[port->devNode()] = port;
        m_live[boardPath] = port;
    }
    m_testbed.attach(port->devNode());
    m_testbed.add(port->record());
    m_testbed.uevent(port->sysPath(), "add");
}

void UsbdevfsBridge::leave(const std::string& boardPath) {
    std::shared_ptr<BoardPort> port;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_live.find(boardPath);
        if (it == m_live.end()) {
            return;
        }
        port = it->second;
        m_live.erase(it);
    }
    port->leave();
    m_testbed.uevent(port->sysPath(), "remove");
    m_testbed.remove(port->sysPath());
}

}  // namespace usbmock
