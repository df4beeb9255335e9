#include "ControlCommands.h"

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

}  // namespace

ControlCommands::ControlCommands(SimHost& host) : m_host(host) {}

std::vector<std::string> ControlCommands::execute(std::string_view line) {
    ControlRequest request;
    std::string error;
    if (!ControlRequest::parse(ControlProtocol::splitRequest(line), request, error)) {
        return fail(error);
    }
    switch (request.command) {
        case ControlRequest::Command::Help: {
            Reply reply = ControlProtocol::commandSummary();
            reply.emplace_back(ControlProtocol::kOk);
            return reply;
        }
        case ControlRequest::Command::List:
            return list();
        case ControlRequest::Command::Plug:
        case ControlRequest::Command::Unplug:
            return plug(request, request.command == ControlRequest::Command::Plug);
        case ControlRequest::Command::Press:
        case ControlRequest::Command::Release:
            return press(request, request.command == ControlRequest::Command::Press);
        default:
            return fault(request);
    }
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
    if (board.memoryFault()) {
        add("memory");
    }
    const bool pca9530 = board.config().ledChip == LedChip::Pca9530;
    return board.path() + " model=" + board.model().label +
           (board.plugged() ? " plugged" : " unplugged") + " fpga=" + version(board.fpgaVersion()) +
           " mcu=" + version(board.mcuVersion()) + " led=" + (pca9530 ? "pca9530" : "pca9633") +
           " buttons=" + HandleButton::names(board.buttonsHeld()) +
           " faults=" + (faults.empty() ? "none" : faults);
}

ControlCommands::Reply ControlCommands::list() {
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

std::shared_ptr<CameraBoard> ControlCommands::target(const ControlRequest& request, Reply& error) {
    if (!request.path) {
        const auto boards = m_host.boards();
        if (boards.empty()) {
            error = fail("no simulated board");
            return nullptr;
        }
        return boards.front();
    }
    auto board = m_host.board(*request.path);
    if (board == nullptr) {
        error = fail("no board '" + *request.path + "' (list shows the boards)");
    }
    return board;
}

ControlCommands::Reply ControlCommands::plug(const ControlRequest& request, bool in) {
    Reply error;
    const auto board = target(request, error);
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

ControlCommands::Reply ControlCommands::press(const ControlRequest& request, bool held) {
    Reply error;
    const auto board = target(request, error);
    if (board == nullptr) {
        return error;
    }
    if (held) {
        board->pressButton(request.button);
    } else {
        board->releaseButton(request.button);
    }
    return done(board->path() + ": " + HandleButton::name(request.button) +
                (held ? " held" : " released"));
}

ControlCommands::Reply ControlCommands::fault(const ControlRequest& request) {
    Reply error;
    const auto board = target(request, error);
    if (board == nullptr) {
        return error;
    }
    const bool on = request.on;
    switch (request.command) {
        case ControlRequest::Command::FaultTimeout:
            board->setControlTimeouts(request.timeouts);
            if (request.timeouts == CameraBoard::kUntilCleared) {
                return done(board->path() + ": control transfers time out until cleared");
            }
            if (request.timeouts == 0) {
                return done(board->path() + ": control transfers answer again");
            }
            return done(board->path() + ": the next " + std::to_string(request.timeouts) +
                        " control transfers time out");
        case ControlRequest::Command::FaultNack:
            board->setI2cNack(static_cast<uint8_t>(request.address), on);
            return done(board->path() + ": I2C address " + hexAddress(request.address) +
                        (on ? " does not answer" : " answers"));
        case ControlRequest::Command::FaultStall:
            board->setBulkInStalled(on);
            return done(board->path() + (on ? ": bulk IN stalled" : ": bulk IN halt cleared"));
        case ControlRequest::Command::FaultBusy:
            board->setFpgaBusy(on);
            return done(board->path() + (on ? ": the FPGA reads busy" : ": the FPGA is not busy"));
        case ControlRequest::Command::FaultJtagStall:
            board->setJtagStalled(on);
            return done(board->path() + (on ? ": JTAG data transfers move nothing"
                                            : ": JTAG data transfers move their bytes"));
        case ControlRequest::Command::FaultMemory:
            board->setMemoryFault(on);
            return done(board->path() + (on ? ": a frame memory data line is stuck low"
                                            : ": the frame memory is sound"));
        default:
            board->setFpgaNotReady(on);
            return done(board->path() +
                        (on ? ": the FPGA never reads ready" : ": the FPGA reads ready again"));
    }
}

}  // namespace boardsim
