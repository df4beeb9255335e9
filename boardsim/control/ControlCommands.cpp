#include "ControlCommands.h"

#include <charconv>
#include <cstdio>

#include "ControlProtocol.h"
#include "board/HandleButton.h"

namespace boardsim {

namespace {

using Reply = std::vector<std::string>;

Reply fail(const std::string& reason) {
    return {ControlProtocol::errorLine(reason)};
}

Reply done(std::string line) {
    return {std::move(line), ControlProtocol::kOk};
}

std::string version(uint16_t value) {
    char text[16];
    std::snprintf(text, sizeof(text), "%x.%02x", value >> 8, value & 0xFF);
    return text;
}

std::string hexAddress(int address) {
    char text[8];
    std::snprintf(text, sizeof(text), "0x%02x", address);
    return text;
}

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

}  // namespace

ControlCommands::ControlCommands(SimHost& host) : m_host(host) {}

std::vector<std::string> ControlCommands::execute(std::string_view line) {
    const Words words = ControlProtocol::splitRequest(line);
    if (words.empty()) {
        return fail("empty request (try help)");
    }
    const std::string& command = words[0];
    if (command == "help") {
        Reply reply = ControlProtocol::commandSummary();
        reply.emplace_back(ControlProtocol::kOk);
        return reply;
    }
    if (command == "list") {
        return list(words);
    }
    if (command == "plug" || command == "unplug") {
        return plug(words, command == "plug");
    }
    if (command == "press" || command == "release") {
        return press(words, command == "press");
    }
    if (command == "fault") {
        return fault(words);
    }
    return fail("unknown command '" + command + "' (try help)");
}

std::string ControlCommands::describe(const CameraBoard& board) {
    std::string faults;
    const auto add = [&faults](const std::string& fault) {
        faults += faults.empty() ? "" : ",";
        faults += fault;
    };
    const int timeouts = board.controlTimeouts();
    if (timeouts == CameraBoard::kUntilCleared) {
        add("timeout");
    } else if (timeouts > 0) {
        add("timeout:" + std::to_string(timeouts));
    }
    for (int address = 0; address <= 0x7F; ++address) {
        if (board.i2cNack(static_cast<uint8_t>(address))) {
            add("nack:" + hexAddress(address));
        }
    }
    if (board.bulkInStalled()) {
        add("stall");
    }
    if (board.fpgaBusy()) {
        add("busy");
    }
    if (board.fpgaNotReady()) {
        add("notready");
    }
    if (board.jtagStalled()) {
        add("jtagstall");
    }
    const bool pca9530 = board.config().ledChip == LedChip::Pca9530;
    return board.path() + " model=" + board.model().label +
           (board.plugged() ? " plugged" : " unplugged") + " fpga=" + version(board.fpgaVersion()) +
           " mcu=" + version(board.mcuVersion()) + " led=" + (pca9530 ? "pca9530" : "pca9633") +
           " buttons=" + HandleButton::names(board.buttonsHeld()) +
           " faults=" + (faults.empty() ? "none" : faults);
}

ControlCommands::Reply ControlCommands::list(const Words& words) {
    if (words.size() != 1) {
        return fail("usage: list");
    }
    Reply reply;
    for (const auto& board : m_host.boards()) {
        reply.push_back(describe(*board));
    }
    if (reply.empty()) {
        reply.emplace_back("no simulated board");
    }
    reply.emplace_back(ControlProtocol::kOk);
    return reply;
}

std::shared_ptr<CameraBoard> ControlCommands::target(const Words& words, std::size_t index,
                                                     Reply& error) {
    if (index >= words.size()) {
        const auto boards = m_host.boards();
        if (boards.empty()) {
            error = fail("no simulated board");
            return nullptr;
        }
        return boards.front();
    }
    auto board = m_host.board(words[index]);
    if (board == nullptr) {
        error = fail("no board '" + words[index] + "' (list shows the boards)");
    }
    return board;
}

ControlCommands::Reply ControlCommands::plug(const Words& words, bool in) {
    if (words.size() != 2) {
        return fail(in ? "usage: plug PATH" : "usage: unplug PATH");
    }
    Reply error;
    const auto board = target(words, 1, error);
    if (board == nullptr) {
        return error;
    }
    if (board->plugged() == in) {
        return done(board->path() + (in ? " was plugged in already" : " was not plugged in"));
    }
    if (in) {
        m_host.plug(board->path());
    } else {
        m_host.unplug(board->path());
    }
    return done(board->path() + (in ? " plugged in" : " unplugged"));
}

ControlCommands::Reply ControlCommands::press(const Words& words, bool held) {
    if (words.size() < 2 || words.size() > 3) {
        return fail(held ? "usage: press BUTTON [PATH]" : "usage: release BUTTON [PATH]");
    }
    const int button = HandleButton::parse(words[1]);
    if (button < 0) {
        return fail("unknown button '" + words[1] +
                    "' (light-up, light-down, record, photo or 0-3)");
    }
    Reply error;
    const auto board = target(words, 2, error);
    if (board == nullptr) {
        return error;
    }
    if (held) {
        board->pressButton(button);
    } else {
        board->releaseButton(button);
    }
    return done(board->path() + ": " + HandleButton::name(button) + (held ? " held" : " released"));
}

ControlCommands::Reply ControlCommands::fault(const Words& words) {
    const std::string kind = words.size() > 1 ? words[1] : "";
    if (kind == "timeout") {
        return faultTimeout(words);
    }
    if (kind == "nack") {
        return faultNack(words);
    }
    if (kind == "stall") {
        return faultStall(words);
    }
    if (kind == "busy" || kind == "notready" || kind == "jtagstall") {
        return faultFpga(words);
    }
    return fail("usage: fault timeout|nack|stall|busy|notready|jtagstall ... (try help)");
}

ControlCommands::Reply ControlCommands::faultTimeout(const Words& words) {
    if (words.size() < 3 || words.size() > 4) {
        return fail("usage: fault timeout on|off|N [PATH]");
    }
    int count = parseSwitch(words[2]) == 1   ? CameraBoard::kUntilCleared
                : parseSwitch(words[2]) == 0 ? 0
                                             : -2;
    if (count == -2) {
        const std::string& text = words[2];
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), count);
        if (ec != std::errc() || end != text.data() + text.size() || count < 1) {
            return fail("usage: fault timeout on|off|N [PATH] (N a count from 1)");
        }
    }
    Reply error;
    const auto board = target(words, 3, error);
    if (board == nullptr) {
        return error;
    }
    board->setControlTimeouts(count);
    if (count == CameraBoard::kUntilCleared) {
        return done(board->path() + ": control transfers time out until cleared");
    }
    if (count == 0) {
        return done(board->path() + ": control transfers answer again");
    }
    return done(board->path() + ": the next " + std::to_string(count) +
                " control transfers time out");
}

ControlCommands::Reply ControlCommands::faultNack(const Words& words) {
    if (words.size() < 4 || words.size() > 5) {
        return fail("usage: fault nack ADDRESS on|off [PATH]");
    }
    const int address = parseAddress(words[2]);
    if (address < 0) {
        return fail("bad I2C address '" + words[2] + "' (hexadecimal, 0 to 7f)");
    }
    const int on = parseSwitch(words[3]);
    if (on < 0) {
        return fail("usage: fault nack ADDRESS on|off [PATH]");
    }
    Reply error;
    const auto board = target(words, 4, error);
    if (board == nullptr) {
        return error;
    }
    board->setI2cNack(static_cast<uint8_t>(address), on == 1);
    return done(board->path() + ": I2C address " + hexAddress(address) +
                (on == 1 ? " does not answer" : " answers"));
}

ControlCommands::Reply ControlCommands::faultStall(const Words& words) {
    const int on = words.size() >= 3 ? parseSwitch(words[2]) : -1;
    if (on < 0 || words.size() > 4) {
        return fail("usage: fault stall on|off [PATH]");
    }
    Reply error;
    const auto board = target(words, 3, error);
    if (board == nullptr) {
        return error;
    }
    board->setBulkInStalled(on == 1);
    return done(board->path() + (on == 1 ? ": bulk IN stalled" : ": bulk IN halt cleared"));
}

ControlCommands::Reply ControlCommands::faultFpga(const Words& words) {
    const bool busy = words[1] == "busy";
    const int on = words.size() >= 3 ? parseSwitch(words[2]) : -1;
    if (on < 0 || words.size() > 4) {
        return fail("usage: fault " + words[1] + " on|off [PATH]");
    }
    Reply error;
    const auto board = target(words, 3, error);
    if (board == nullptr) {
        return error;
    }
    if (busy) {
        board->setFpgaBusy(on == 1);
        return done(board->path() + (on == 1 ? ": the FPGA reads busy" : ": the FPGA is not busy"));
    }
    if (words[1] == "jtagstall") {
        board->setJtagStalled(on == 1);
        return done(board->path() + (on == 1 ? ": JTAG data transfers move nothing"
                                             : ": JTAG data transfers move their bytes"));
    }
    board->setFpgaNotReady(on == 1);
    return done(board->path() +
                (on == 1 ? ": the FPGA never reads ready" : ": the FPGA reads ready again"));
}

}  // namespace boardsim
