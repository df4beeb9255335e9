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

int DeviceCommand::checkUsage(const Arguments& arguments, const std::vector<std::string>& flags,
                              const std::string& command, std::ostream& err) {
    if (!arguments.error().empty()) {
        return fail(err, command, arguments.error(), 2);
    }
    if (const auto unknown = arguments.unknown(flags); !unknown.empty()) {
        return fail(err, command, "unknown option " + unknown.front(), 2);
    }
    return 0;
}

DeviceCommand::Opened DeviceCommand::open(const Arguments& arguments,
                                          const std::vector<std::string>& flags,
                                          const std::string& command, std::ostream& err) {
    if (const int usage = checkUsage(arguments, flags, command, err); usage != 0) {
        return Opened(usage);
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
