#include "RegCommand.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "DeviceCommand.h"

int RegCommand::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> withValue = DeviceCommand::sessionOptions();
    withValue.push_back("--repeat");
    withValue.push_back("--interval");
    const Arguments arguments(args, withValue);
    const auto& words = arguments.positional();
    const bool read = !words.empty() && words[0] == "read" && words.size() == 3;
    const bool write = !words.empty() && words[0] == "write" && words.size() == 4;
    if (!read && !write) {
        return DeviceCommand::fail(err, "reg",
                                   "usage: reg read SLAVE REG [--repeat N] [--interval MS] | "
                                   "reg write SLAVE REG VALUE [--wide] [--device NAME]",
                                   2);
    }
    const bool wide = arguments.flag("--wide");
    const auto slave = Arguments::number(words[1], 0, 0x7F);
    const auto reg = Arguments::number(words[2], 0, wide ? 0xFFFF : 0xFF);
    const auto value = write ? Arguments::number(words[3], 0, 0xFF) : std::optional<long>(0);
    if (!slave) {
        return DeviceCommand::fail(err, "reg", "SLAVE must be a 7-bit address: " + words[1], 2);
    }
    if (!reg) {
        return DeviceCommand::fail(err, "reg",
                                   std::string("REG must be ") +
                                       (wide ? "0 to 0xFFFF" : "0 to 0xFF (--wide for 16 bits)") +
                                       ": " + words[2],
                                   2);
    }
    if (!value) {
        return DeviceCommand::fail(err, "reg", "VALUE must be 0 to 0xFF: " + words[3], 2);
    }
    const auto repeat = Arguments::number(arguments.option("--repeat").value_or("1"), 1, 1000000);
    const auto interval =
        Arguments::number(arguments.option("--interval").value_or("100"), 0, 60000);
    if (!repeat || !interval) {
        return DeviceCommand::fail(err, "reg", "--repeat is 1 to 1000000, --interval 0 to 60000 ms",
                                   2);
    }
    auto session = DeviceCommand::open(arguments, {"--wide"}, "reg", err);
    if (!session) {
        return session.exitCode();
    }
    char text[64];
    if (read) {
        // With --repeat the register is watched: one line per read, until a read fails.
        for (long i = 0; i < *repeat; ++i) {
            if (i > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(*interval));
            }
            int byte = 0;
            if (readRegister(session->handle(), static_cast<int>(*slave), static_cast<int>(*reg),
                             &byte, wide ? 1 : 0) != 1) {
                return DeviceCommand::fail(err, "reg", "reading the register failed");
            }
            std::snprintf(text, sizeof text, "0x%02X", byte);
            out << text << std::endl;
        }
        return 0;
    }
    if (writeRegister(session->handle(), static_cast<int>(*slave), static_cast<int>(*reg),
                      static_cast<int>(*value), wide ? 1 : 0) != 1) {
        return DeviceCommand::fail(err, "reg", "writing the register failed");
    }
    return 0;
}

CommandEntry RegCommand::entry() {
    return {"reg",
            {"reg read SLAVE REG [--wide]          read one register of an I2C part",
             "reg write SLAVE REG VALUE [--wide]   write one register"},
            &RegCommand::run};
}
