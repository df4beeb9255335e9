// kxcxctl commands run in-process against simulated boards of the test's own, in a fresh folder.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "TempDir.h"
#include "ToolLogFolder.h"
#include "host/SimHost.h"
#include "kxLogSession.h"
#include "kxUsbTransport.h"
#include "sim/kxSimBackend.h"

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

class BoardCommands : public testing::Test {
protected:
    BoardCommands() { kx::UsbTransport::replace(std::make_unique<kx::SimBackend>(&host)); }
    ~BoardCommands() override { kx::UsbTransport::replace(nullptr); }

    void plug(const char* description) {
        std::string error;
        ASSERT_TRUE(host.configure(description, error)) << error;
    }

    Outcome run(std::vector<std::string> args) {
        std::ostringstream out;
        std::ostringstream err;
        const int code = CommandLine::run(args, out, err);
        return {code, out.str(), err.str()};
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
