#include "kxSimBackend.h"

#include <iostream>

#include "host/SimHost.h"

namespace kx {

SimBackend::SimBackend(boardsim::SimHost* host)
    : m_host(host != nullptr ? *host : boardsim::SimHost::instance()) {}

EnumResult SimBackend::interfacePath(const Guid& interfaceGuid, int memberIndex,
                                     std::string& path) {
    const std::string error = m_host.configError();
    if (!error.empty() && !m_configErrorSaid.exchange(true)) {
        std::cerr << error << std::endl;
    }
    int index = 0;
    for (const auto& board : m_host.presentBoards()) {
        const auto guid = Guid::parse(board->model().interfaceGuid);
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

}  // namespace kx
