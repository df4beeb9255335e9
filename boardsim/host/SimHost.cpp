#include "SimHost.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>

#include "config/SimConfigParser.h"
#include "control/ControlProtocol.h"
#include "control/ControlServer.h"

namespace boardsim {

SimHost& SimHost::instance() {
    static SimHost* host = [] {
        auto* created = new SimHost();
        const char* text = std::getenv("KXCX_SIM");
        std::string error;
        if (!created->configure(text != nullptr ? text : "", error)) {
            created->m_configError = "KXCX_SIM: " + error;
        }
        // The host stays for the library's threads that may still run while the process ends;
        // the boards' own threads are joined then.
        std::atexit([] {
            for (const auto& board : SimHost::instance().boards()) {
                board->finishThreads();
            }
        });
        return created;
    }();
    return *host;
}

void SimHost::serveControlChannel() {
    static std::once_flag started;
    std::call_once(started, [this] {
        const std::string path = ControlProtocol::socketPath();
        if (path.empty()) {
            return;
        }
        static ControlServer server(*this, path);
        const int result = server.start();
        if (result == -EADDRINUSE) {
            std::cerr << "boardsim: another program serves the simulated boards' control channel "
                         "at "
                      << path << "; kxcxctl sim drives that program's boards, not these"
                      << std::endl;
        } else if (result != 0) {
            std::cerr << "boardsim: cannot serve the control channel at " << path << ": "
                      << std::strerror(-result) << std::endl;
        }
    });
}

void SimHost::configure(const std::vector<BoardConfig>& boards) {
    std::vector<std::shared_ptr<CameraBoard>> made;
    std::map<std::string, int> numbers;
    for (const BoardConfig& config : boards) {
        made.push_back(std::make_shared<CameraBoard>(config, numbers[config.model->label]++));
        made.back()->setReenumerationHandler(
            [this](const std::string& path) { reenumerate(path); });
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& board : m_boards) {
        board->setReenumerationHandler(nullptr);
    }
    m_boards = made;
    m_present = std::move(made);
    m_configError.clear();
}

bool SimHost::configure(std::string_view description, std::string& error) {
    std::vector<BoardConfig> boards;
    if (!SimConfigParser::parse(description, boards, error)) {
        return false;
    }
    configure(boards);
    return true;
}

std::string SimHost::configError() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_configError;
}

std::vector<std::shared_ptr<CameraBoard>> SimHost::boards() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_boards;
}

std::vector<std::shared_ptr<CameraBoard>> SimHost::presentBoards() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_present;
}

std::shared_ptr<CameraBoard> SimHost::board(std::string_view path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& board : m_boards) {
        if (board->path() == path) {
            return board;
        }
    }
    return nullptr;
}

bool SimHost::unplug(std::string_view path) {
    std::shared_ptr<CameraBoard> left;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = std::find_if(m_present.begin(), m_present.end(),
                                     [&](const auto& board) { return board->path() == path; });
        if (it == m_present.end()) {
            return std::any_of(m_boards.begin(), m_boards.end(),
                               [&](const auto& board) { return board->path() == path; });
        }
        left = *it;
        m_present.erase(it);
    }
    left->setPlugged(false);
    notify(left->path(), false);
    return true;
}

SimHost::~SimHost() {
    for (const auto& board : m_boards) {
        board->setReenumerationHandler(nullptr);
    }
}

bool SimHost::reenumerate(std::string_view path) {
    std::shared_ptr<CameraBoard> board;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = std::find_if(m_present.begin(), m_present.end(),
                                     [&](const auto& present) { return present->path() == path; });
        if (it == m_present.end()) {
            return false;
        }
        board = *it;
        m_present.erase(it);
    }
    board->leaveBus();
    notify(board->path(), false);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_present.push_back(board);
    }
    board->rejoinBus();
    notify(board->path(), true);
    return true;
}

bool SimHost::plug(std::string_view path) {
    std::shared_ptr<CameraBoard> arrived;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = std::find_if(m_boards.begin(), m_boards.end(),
                                     [&](const auto& board) { return board->path() == path; });
        if (it == m_boards.end()) {
            return false;
        }
        if (std::find(m_present.begin(), m_present.end(), *it) != m_present.end()) {
            return true;
        }
        arrived = *it;
        m_present.push_back(arrived);
    }
    arrived->setPlugged(true);
    notify(arrived->path(), true);
    return true;
}

int SimHost::addListener(Listener listener) {
    std::lock_guard<std::mutex> lock(m_listenerMutex);
    const int id = m_nextListenerId++;
    m_listeners.emplace_back(id, std::move(listener));
    return id;
}

void SimHost::removeListener(int id) {
    std::lock_guard<std::mutex> lock(m_listenerMutex);
    std::erase_if(m_listeners, [id](const auto& entry) { return entry.first == id; });
}

void SimHost::notify(const std::string& path, bool arrived) {
    std::vector<Listener> listeners;
    {
        std::lock_guard<std::mutex> lock(m_listenerMutex);
        for (const auto& entry : m_listeners) {
            listeners.push_back(entry.second);
        }
    }
    for (const Listener& listener : listeners) {
        listener(path, arrived);
    }
}

}  // namespace boardsim
