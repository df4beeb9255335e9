// Pulls a simulated board out from another thread as soon as its configuration flash is busy
// erasing, for tests of what a loader or a command does when the board leaves mid-way. Gives up
// waiting after ten seconds; joins when it goes.
#pragma once

#include <chrono>
#include <string>
#include <thread>

#include "host/SimHost.h"

class UnplugDuringErase {
public:
    UnplugDuringErase(boardsim::SimHost& host, const std::string& path)
        : m_thread([&host, path, board = host.board(path)] {
              const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
              while ((board->flashStatus() & kBusy) == 0 &&
                     std::chrono::steady_clock::now() < giveUp) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
              host.unplug(path);
          }) {}
    ~UnplugDuringErase() { m_thread.join(); }
    UnplugDuringErase(const UnplugDuringErase&) = delete;
    UnplugDuringErase& operator=(const UnplugDuringErase&) = delete;

private:
    static constexpr int kBusy = 0x01;
    std::thread m_thread;
};
