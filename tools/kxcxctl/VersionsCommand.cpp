#include "VersionsCommand.h"

#include <cstdio>

#include "DeviceCommand.h"

int VersionsCommand::run(const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err) {
    const Arguments arguments(args, DeviceCommand::sessionOptions());
    if (!arguments.positional().empty()) {
        return DeviceCommand::fail(err, "versions", "usage: versions [--device NAME]", 2);
    }
    auto session = DeviceCommand::open(arguments, {}, "versions", err);
    if (!session) {
        return session.exitCode();
    }
    uint8_t mcu[2] = {};
    int transferred = 0;
    int major = 0;
    int minor = 0;
    if (ioctlCxDevice(session->handle(), 0, 1, 0xB0, 0, 0, 2, mcu, &transferred) != 0 ||
        transferred != 2 || readRegister(session->handle(), 0x3C, 0x01, &major, 0) != 1 ||
        readRegister(session->handle(), 0x3C, 0x00, &minor, 0) != 1) {
        return DeviceCommand::fail(err, "versions", "the board did not answer");
    }
    char text[96];
    std::snprintf(text, sizeof text, "%s\n  MCU firmware  %X.%02X\n  FPGA          %X.%02X",
                  session->name().c_str(), mcu[1], mcu[0], major, minor);
    out << text << std::endl;
    return 0;
}

CommandEntry VersionsCommand::entry() {
    return {
        "versions", {"versions    the board's firmware and FPGA versions"}, &VersionsCommand::run};
}
