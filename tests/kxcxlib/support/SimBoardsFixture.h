// A test on simulated boards of its own, in a fresh current folder: while it runs, the library's
// transport is a sim backend over the test's host. The library's tests and the commands' tests
// plug their boards through it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "TempDir.h"
#include "host/SimHost.h"
#include "usb/sim/kxSimBackend.h"

class SimBoardsFixture : public testing::Test {
protected:
    SimBoardsFixture();
    // The library's transport is left empty.
    ~SimBoardsFixture() override;

    // Replaces the boards (KXCX_SIM syntax); the test fails when the list is not understood.
    void plug(const char* boards);
    // Makes another backend over the test's host (one that refuses or fails on purpose) the
    // library's transport.
    void useBackend(std::unique_ptr<kx::SimBackend> sim);

    TempDir dir;
    boardsim::SimHost host;
    kx::SimBackend* backend = nullptr;
};
