#include "usb/sim/kxSimBackend.h"

#include <cerrno>
#include <iostream>

#include "host/SimHost.h"
#include "usb/kxPlatformError.h"
#include "usb/sim/kxSimDevice.h"

namespace kx {

namespace {

// The device interface GUID a board's model announces; nullopt for a board that has none.
std::optional<Guid> boardGuid(const boardsim::CameraBoard& board) {
    return Guid::parse(board.model().interfaceGuid);
}

}  // namespace

SimBackend::SimBackend(boardsim::SimHost* host)
    : m_host(host != nullptr ? *host : boardsim::SimHost::instance()) {
    // The process's boards can be driven from outside (kxcxctl sim) while a program uses them.
    if (host == nullptr) {
        m_host.serveControlChannel();
    }
    // The host keeps its boards, unplugged ones too, so a board that left still has its model.
    m_listenerId = m_host.addListener(
        [state = m_hotplug, &boards = m_host](const std::string& path, bool arrived) {
            const auto board = boards.board(path);
            const auto guid = board ? boardGuid(*board) : std::nullopt;
            if (!guid) {
                return;
            }
            std::optional<std::string> model;
            {
                std::lock_guard<std::mutex> lock(state->modelMutex);
                model = state->models.labelOf(std::span<const Guid>(&*guid, 1));
            }
            if (model) {
                state->queue.post(arrived ? HotplugEvent::Arrived : HotplugEvent::Removed, path,
                                  *model);
            }
        });
}

SimBackend::~SimBackend() {
    m_host.removeListener(m_listenerId);
    m_hotplug->queue.setHandler(nullptr);
}

EnumResult SimBackend::interfacePath(const Guid& interfaceGuid, int memberIndex,
                                     std::string& path) {
    const std::string error = m_host.configError();
    if (!error.empty() && !m_configErrorSaid.exchange(true)) {
        std::cerr << error << std::endl;
    }
    int index = 0;
    for (const auto& board : m_host.presentBoards()) {
        const auto guid = boardGuid(*board);
        if (!guid || !(*guid == interfaceGuid)) {
            continue;
        }
        if (index++ == memberIndex) {
            path = board->path();
            return EnumResult::Found;
        }
    }
    return EnumResult::NoMoreItems;
}

std::unique_ptr<UsbDevice> SimBackend::open(const std::string& path) {
    auto board = m_host.board(path);
    SimTransfer record{SimTransfer::Kind::Open};
    record.path = path;
    if (!board || !board->plugged()) {
        record.result = -ENODEV;
        m_log.add(record);
        setLastPlatformError(ENODEV);
        return nullptr;
    }
    m_log.add(record);
    return std::make_unique<SimDevice>(std::move(board), m_log);
}

bool SimBackend::setHotplugHandler(HotplugHandler handler) {
    m_hotplug->queue.setHandler(std::move(handler));
    return true;
}

void SimBackend::setModelGuids(std::map<std::string, Guid> labelToGuid) {
    std::lock_guard<std::mutex> lock(m_hotplug->modelMutex);
    m_hotplug->models = ModelRows(std::move(labelToGuid));
}

}  // namespace kx
