// For benchmarks: the library loaded over simulated boards of its own, run in a scratch folder,
// with one board opened.
#pragma once

#include <filesystem>

#include <kxCxApi.h>
#include "host/SimHost.h"

namespace kx {
class SimBackend;
}

class SimLibrary {
public:
    // board: a KXCX_SIM description of one first-variant board.
    explicit SimLibrary(const char* board);
    ~SimLibrary();
    SimLibrary(const SimLibrary&) = delete;
    SimLibrary& operator=(const SimLibrary&) = delete;

    // The opened board, or null.
    CamContext* handle = nullptr;
    // The backend, whose transfer log records what reached the board.
    kx::SimBackend* backend = nullptr;

private:
    boardsim::SimHost m_host;
    std::filesystem::path m_dir;
    std::filesystem::path m_previous;
};
