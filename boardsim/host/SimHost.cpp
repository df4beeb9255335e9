#include "SimHost.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "config/SimConfigParser.h"

namespace boardsim {

SimHost& SimHost::instance() {
    static SimHost* host = [] {
        auto* created = new SimHost();
        const char* text = std::getenv("KXCX_SIM");
        std::string error;
        if (!created->configure(text != nullptr ? text : "", error)) {
            created->m_configError = "KXCX_SIM: " + error;
        }
        return created;
    }();
    return *host;
}

void SimHost::configure(const std::vector<BoardConfig>& boards) {
    std::vector<std::shared_ptr<CameraBoard>> made;
    std::map<std::string, int> numbers;
    for (const BoardConfig& config : boards) {
        made.push_back(std::make_shared<CameraBoard>(config, numbers[config.model->label]++));
    }
    std::lock_guard<std::mutex> lock(m_mutex);
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
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = std::find_if(m_present.begin(), m_present.end(),
                                 [&](const auto& board) { return board->path() == path; });
    if (it != m_present.end()) {
        (*it)->setPlugged(false);
        m_present.erase(it);
        return true;
    }
    return std::any_of(m_boards.begin(), m_boards.end(),
                       [&](const auto& board) { return board->path() == path; });
}

bool SimHost::plug(std::string_view path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& board : m_boards) {
        if (board->path() != path) {
            continue;
        }
        if (std::find(m_present.begin(), m_present.end(), board) == m_present.end()) {
            board->setPlugged(true);
            m_present.push_back(board);
        }
        return true;
    }
    return false;
}

}  // namespace boardsim
