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

DeviceCommand::Opened DeviceCommand::open(const Arguments& arguments,
                                          const std::vector<std::string>& flags,
                                          const std::string& command, std::ostream& err) {
    if (!arguments.error().empty()) {
        return Opened(fail(err, command, arguments.error(), 2));
    }
    if (const auto unknown = arguments.unknown(flags); !unknown.empty()) {
        return Opened(fail(err, command, "unknown option " + unknown.front(), 2));
    }
    auto session = std::make_unique<DeviceSession>(arguments.option("--device").value_or(""),
                                                   arguments.option("--regfile").value_or(""));
    if (session->handle() == nullptr) {
        const std::string reason = session->error();
        // The library's log is complete once it is unloaded, before the reason points to it.
        session.reset();
        return Opened(fail(err, command, reason));
    }
    return Opened(std::move(session));
}
