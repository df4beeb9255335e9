#include "IoctlCommand.h"

#include <cstdio>

#include "DeviceCommand.h"

int IoctlCommand::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments arguments(args, DeviceCommand::sessionOptions());
    const auto& words = arguments.positional();
    const bool in = words.size() == 5 && words[0] == "in";
    const bool outward = words.size() >= 4 && words[0] == "out";
    if (!in && !outward) {
        return DeviceCommand::fail(err, "ioctl",
                                   "usage: ioctl in REQUEST VALUE INDEX LENGTH | "
                                   "ioctl out REQUEST VALUE INDEX [BYTE...] [--device NAME]",
                                   2);
    }
    const auto request = Arguments::number(words[1], 0, 0xFF);
    const auto value = Arguments::number(words[2], 0, 0xFFFF);
    const auto index = Arguments::number(words[3], 0, 0xFFFF);
    if (!request || !value || !index) {
        return DeviceCommand::fail(err, "ioctl",
                                   "REQUEST is 0 to 0xFF, VALUE and INDEX 0 to 0xFFFF", 2);
    }
    std::vector<uint8_t> data;
    if (in) {
        const auto length = Arguments::number(words[4], 0, 4096);
        if (!length) {
            return DeviceCommand::fail(err, "ioctl", "LENGTH must be 0 to 4096: " + words[4], 2);
        }
        data.resize(static_cast<std::size_t>(*length));
    } else {
        for (std::size_t i = 4; i < words.size(); ++i) {
            const auto byte = Arguments::number(words[i], 0, 0xFF);
            if (!byte) {
                return DeviceCommand::fail(err, "ioctl", "BYTE must be 0 to 0xFF: " + words[i], 2);
            }
            data.push_back(static_cast<uint8_t>(*byte));
        }
    }
    auto session = DeviceCommand::open(arguments, {}, "ioctl", err);
    if (!session) {
        return session.exitCode();
    }
    int transferred = 0;
    if (ioctlCxDevice(session->handle(), 0, in ? 1 : 0, static_cast<int>(*request),
                      static_cast<int>(*value), static_cast<int>(*index),
                      static_cast<int>(data.size()), data.empty() ? nullptr : data.data(),
                      &transferred) != 0) {
        return DeviceCommand::fail(err, "ioctl", "the board refused the request");
    }
    out << transferred << " bytes";
    if (in) {
        out << ":";
        char text[8];
        for (int i = 0; i < transferred; ++i) {
            std::snprintf(text, sizeof text, " %02X", data[static_cast<std::size_t>(i)]);
            out << text;
        }
    }
    out << std::endl;
    return 0;
}

CommandEntry IoctlCommand::entry() {
    return {"ioctl",
            {"ioctl in REQUEST VALUE INDEX LENGTH        one vendor request, device to host",
             "ioctl out REQUEST VALUE INDEX [BYTE...]    one vendor request, host to device"},
            &IoctlCommand::run};
}
