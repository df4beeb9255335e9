// What the commands that work on one board share: their common options and opening the board.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Arguments.h"
#include "DeviceSession.h"

class DeviceCommand {
public:
    // Options every board command takes: --device NAME, --regfile PATH.
    static const std::vector<std::string>& sessionOptions();

    // Checks the options (flags must be among `flags`) and opens the board. Null after writing
    // "kxcxctl <command>: <reason>" to err.
    static std::unique_ptr<DeviceSession> open(const Arguments& arguments,
                                               const std::vector<std::string>& flags,
                                               const std::string& command, std::ostream& err);

    // Writes "kxcxctl <command>: <message>" and returns exit code 1 (2 for usage errors).
    static int fail(std::ostream& err, const std::string& command, const std::string& message,
                    int code = 1);
};
