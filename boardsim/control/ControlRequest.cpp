#include "ControlRequest.h"

#include <charconv>
#include <string_view>

#include "board/CameraBoard.h"
#include "board/HandleButton.h"

namespace boardsim {

namespace {

using Words = std::vector<std::string>;

// "62", "0x62", "0X62": a 7-bit I2C address; -1 otherwise.
int parseAddress(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    }
    int value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 0 ||
        value > 0x7F) {
        return -1;
    }
    return value;
}

// "on" 1, "off" 0, anything else -1.
int parseSwitch(std::string_view text) {
    return text == "on" ? 1 : text == "off" ? 0 : -1;
}

// The optional PATH at words[index].
std::optional<std::string> pathAt(const Words& words, std::size_t index) {
    return index < words.size() ? std::optional<std::string>(words[index]) : std::nullopt;
}

}  // namespace

bool ControlRequest::parse(const Words& words, ControlRequest& request, std::string& error) {
    request = ControlRequest();
    if (words.empty()) {
        error = "empty request (try help)";
        return false;
    }
    const std::string& command = words[0];
    if (command == "help") {
        request.command = Command::Help;
        return true;
    }
    if (command == "list") {
        if (words.size() != 1) {
            error = "usage: list";
            return false;
        }
        request.command = Command::List;
        return true;
    }
    if (command == "plug" || command == "unplug") {
        if (words.size() != 2) {
            error = "usage: " + command + " PATH";
            return false;
        }
        request.command = command == "plug" ? Command::Plug : Command::Unplug;
        request.path = words[1];
        return true;
    }
    if (command == "press" || command == "release") {
        if (words.size() < 2 || words.size() > 3) {
            error = "usage: " + command + " BUTTON [PATH]";
            return false;
        }
        request.button = HandleButton::parse(words[1]);
        if (request.button < 0) {
            error =
                "unknown button '" + words[1] + "' (light-up, light-down, record, photo or 0-3)";
            return false;
        }
        request.command = command == "press" ? Command::Press : Command::Release;
        request.path = pathAt(words, 2);
        return true;
    }
    if (command == "fault") {
        return parseFault(words, request, error);
    }
    error = "unknown command '" + command + "' (try help)";
    return false;
}

bool ControlRequest::parseFault(const Words& words, ControlRequest& request, std::string& error) {
    const std::string kind = words.size() > 1 ? words[1] : "";
    if (kind == "timeout") {
        if (words.size() < 3 || words.size() > 4) {
            error = "usage: fault timeout on|off|N [PATH]";
            return false;
        }
        const std::string& text = words[2];
        const int on = parseSwitch(text);
        request.timeouts = on == 1 ? CameraBoard::kUntilCleared : 0;
        if (on < 0) {
            const auto [end, ec] =
                std::from_chars(text.data(), text.data() + text.size(), request.timeouts);
            if (ec != std::errc() || end != text.data() + text.size() || request.timeouts < 1) {
                error = "usage: fault timeout on|off|N [PATH] (N a count from 1)";
                return false;
            }
        }
        request.command = Command::FaultTimeout;
        request.path = pathAt(words, 3);
        return true;
    }
    if (kind == "nack") {
        if (words.size() < 4 || words.size() > 5) {
            error = "usage: fault nack ADDRESS on|off [PATH]";
            return false;
        }
        request.address = parseAddress(words[2]);
        if (request.address < 0) {
            error = "bad I2C address '" + words[2] + "' (hexadecimal, 0 to 7f)";
            return false;
        }
        const int on = parseSwitch(words[3]);
        if (on < 0) {
            error = "usage: fault nack ADDRESS on|off [PATH]";
            return false;
        }
        request.command = Command::FaultNack;
        request.on = on == 1;
        request.path = pathAt(words, 4);
        return true;
    }
    const bool known = kind == "stall" || kind == "busy" || kind == "notready" ||
                       kind == "jtagstall" || kind == "memory";
    if (!known) {
        error = "usage: fault timeout|nack|stall|busy|notready|jtagstall|memory ... (try help)";
        return false;
    }
    const int on = words.size() >= 3 ? parseSwitch(words[2]) : -1;
    if (on < 0 || words.size() > 4) {
        error = "usage: fault " + kind + " on|off [PATH]";
        return false;
    }
    request.command = kind == "stall"      ? Command::FaultStall
                      : kind == "busy"     ? Command::FaultBusy
                      : kind == "notready" ? Command::FaultNotReady
                      : kind == "memory"   ? Command::FaultMemory
                                           : Command::FaultJtagStall;
    request.on = on == 1;
    request.path = pathAt(words, 3);
    return true;
}

}  // namespace boardsim
