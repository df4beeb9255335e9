#include "DeviceCommand.h"

const std::vector<std::string>& DeviceCommand::sessionOptions() {
    static const std::vector<std::string> options = {"--device", "--regfile"};
    return options;
}

int DeviceCommand::fail(std::ostream& err, const std::string& command, const std::string& message,
                        int code) {
    err << "kxcxctl " << command << ": " << message << std::endl;
    return code;
}

std::unique_ptr<DeviceSession> DeviceCommand::open(const Arguments& arguments,
                                                   const std::vector<std::string>& flags,
                                                   const std::string& command, std::ostream& err) {
    if (!arguments.error().empty()) {
        fail(err, command, arguments.error(), 2);
        return nullptr;
    }
    if (const auto unknown = arguments.unknown(flags); !unknown.empty()) {
        fail(err, command, "unknown option " + unknown.front(), 2);
        return nullptr;
    }
    auto session = std::make_unique<DeviceSession>(arguments.option("--device").value_or(""),
                                                   arguments.option("--regfile").value_or(""));
    if (session->handle() == nullptr) {
        fail(err, command, session->error());
        return nullptr;
    }
    return session;
}
