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
#include "SimBoardsFixture.h"
#include "ToolLogFolder.h"
#include "kxDailyLogName.h"

class BoardCommands : public SimBoardsFixture {
protected:
    Outcome run(const std::vector<std::string>& args) {
        return runCommand(&CommandLine::run, args);
    }

    // The library log the tool wrote today.
    std::string toolLog() const {
        std::ifstream file(logs.path() + "/" + DailyLogName::today());
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    ToolLogFolder logs{dir.path() + "/state"};
};
