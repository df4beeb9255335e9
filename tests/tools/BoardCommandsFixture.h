// kxcxctl commands run in-process against simulated boards of the test's own, in a fresh folder.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "CommandOutcome.h"
#include "PlugBoards.h"
#include "TempDir.h"
#include "ToolLogFolder.h"
#include "frame/kxLogSession.h"
#include "host/SimHost.h"
#include "usb/kxUsbTransport.h"
#include "usb/sim/kxSimBackend.h"

class BoardCommands : public testing::Test {
protected:
    BoardCommands() { kx::UsbTransport::replace(std::make_unique<kx::SimBackend>(&host)); }
    ~BoardCommands() override { kx::UsbTransport::replace(nullptr); }

    void plug(const char* boards) { plugBoards(host, boards); }

    Outcome run(const std::vector<std::string>& args) {
        return runCommand(&CommandLine::run, args);
    }

    // The library log the tool wrote today.
    std::string toolLog() const {
        std::ifstream file(logs.path() + "/" + LogSession::todaysFileName());
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    TempDir dir;
    ToolLogFolder logs{dir.path() + "/state"};
    boardsim::SimHost host;
};
