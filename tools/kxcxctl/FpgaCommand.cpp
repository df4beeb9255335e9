#include "FpgaCommand.h"

#include "DeviceCommand.h"
#include "ProgressBar.h"
#include "TransferError.h"

namespace {
constexpr const char* kUsage = "usage: fpga load [FILE] [--quiet] | fpga init [--device NAME]";
}

int FpgaCommand::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments arguments(args, DeviceCommand::sessionOptions());
    const auto& words = arguments.positional();
    const bool load = !words.empty() && words[0] == "load" && words.size() <= 2;
    const bool init = words.size() == 1 && words[0] == "init";
    if (!load && !init) {
        return DeviceCommand::fail(err, "fpga", kUsage, 2);
    }
    auto session = DeviceCommand::open(arguments, {"--quiet"}, "fpga", err);
    if (!session) {
        return session.exitCode();
    }
    if (init) {
        const int result = initFPGA(session->handle());
        if (result == -21) {
            return DeviceCommand::fail(err, "fpga", "no configured FPGA answers (version 0.0)");
        }
        if (result != 0) {
            return DeviceCommand::fail(
                err, "fpga", "the FPGA did not become ready (" + std::to_string(result) + ")");
        }
        out << "FPGA started" << std::endl;
        return 0;
    }
    const std::string file = words.size() == 2 ? words[1] : "firmware/default.bit";
    int size = -1;
    int sent = 0;
    {
        ProgressBar bar(err, arguments.flag("--quiet"), {1, 220});
        sent = uploadFpgaFirmware(session->handle(), &size, file.c_str(), ProgressBar::callback());
    }
    if (sent < 0) {
        return DeviceCommand::fail(err, "fpga",
                                   "loading " + file + " failed: " + TransferError::cause(sent));
    }
    if (size < 0) {
        return DeviceCommand::fail(err, "fpga", "cannot open " + file);
    }
    if (sent == 0) {
        return DeviceCommand::fail(
            err, "fpga",
            "the FPGA did not report done after " + std::to_string(size) + " bytes of " + file);
    }
    out << "loaded " << file << ": " << sent << " bytes, FPGA done" << std::endl;
    return 0;
}

CommandEntry FpgaCommand::entry() {
    return {"fpga",
            {"fpga load [FILE]      configure the FPGA over JTAG (firmware/default.bit)",
             "fpga init             the FPGA's start-up handshake"},
            &FpgaCommand::run};
}
