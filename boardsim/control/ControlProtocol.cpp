#include "ControlProtocol.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>

namespace boardsim {

std::string ControlProtocol::defaultSocketPath() {
    return "/tmp/kxcx-sim-" + std::to_string(getuid()) + ".sock";
}

std::string ControlProtocol::socketPath() {
    const char* value = std::getenv(kSocketVariable);
    if (value == nullptr || *value == '\0') {
        return defaultSocketPath();
    }
    const std::string path = value;
    return path == kSocketOff ? std::string() : path;
}

bool ControlProtocol::formatRequest(const std::vector<std::string>& words, std::string& line,
                                    std::string& error) {
    if (words.empty()) {
        error = "no command";
        return false;
    }
    std::string text;
    for (const std::string& word : words) {
        if (word.empty()) {
            error = "an argument is empty";
            return false;
        }
        for (const char c : word) {
            if (std::isspace(static_cast<unsigned char>(c)) || c == '\0') {
                error = "argument '" + word + "' holds white space";
                return false;
            }
        }
        text += text.empty() ? "" : " ";
        text += word;
    }
    if (text.size() > kMaxLineLength) {
        error = "the request is longer than " + std::to_string(kMaxLineLength) + " characters";
        return false;
    }
    line = text + "\n";
    return true;
}

std::vector<std::string> ControlProtocol::splitRequest(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
        }
        if (i > start) {
            words.emplace_back(line.substr(start, i - start));
        }
    }
    return words;
}

bool ControlProtocol::isError(std::string_view line) {
    return line.substr(0, std::string_view(kErrorPrefix).size()) == kErrorPrefix;
}

bool ControlProtocol::isFinal(std::string_view line) {
    return line == kOk || isError(line);
}

std::string ControlProtocol::errorLine(std::string_view reason) {
    return kErrorPrefix + std::string(reason);
}

const std::vector<std::string>& ControlProtocol::commandSummary() {
    static const std::vector<std::string> lines = {
        "list                              every board: path, model, plugged, versions, LED chip, "
        "buttons held, faults",
        "unplug PATH                       pull the board out",
        "plug PATH                         put it back (it powers up again: the FPGA loads its "
        "flash)",
        "press BUTTON [PATH]               hold a handle button: light-up, light-down, record, "
        "photo (or 0-3)",
        "release BUTTON [PATH]             let it go",
        "fault timeout on|off|N [PATH]     control transfers time out: all of them until off, or "
        "the next N",
        "fault nack ADDRESS on|off [PATH]  the I2C part at ADDRESS (hexadecimal) stops answering",
        "fault stall on|off [PATH]         halt bulk IN until the host clears it (clear-halt, FIFO "
        "reset)",
        "fault busy on|off [PATH]          FPGA register 0x60 reads busy",
        "fault notready on|off [PATH]      FPGA register 0x41 never reads ready",
        "fault jtagstall on|off [PATH]     JTAG data transfers move nothing (0 bytes)",
        "fault memory on|off [PATH]        a data line of the FPGA's frame memory is stuck low",
        "help                              these lines",
        "PATH defaults to the first board.",
    };
    return lines;
}

}  // namespace boardsim
