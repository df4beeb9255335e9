#include "RegFileCommand.h"

#include "DeviceCommand.h"
#include "ProgressBar.h"

int RegFileCommand::run(const std::vector<std::string>& args, std::ostream& out,
                        std::ostream& err) {
    const Arguments arguments(args, DeviceCommand::sessionOptions());
    if (arguments.positional().size() != 1) {
        return DeviceCommand::fail(err, "regfile", "usage: regfile PATH [--quiet] [--device NAME]",
                                   2);
    }
    auto session = DeviceCommand::open(arguments, {"--quiet"}, "regfile", err);
    if (!session) {
        return 1;
    }
    const std::string& path = arguments.positional().front();
    int result = 0;
    {
        ProgressBar bar(err, arguments.flag("--quiet"));
        result = sendRegFile(session->handle(), path.c_str(), ProgressBar::callback());
    }
    if (result == -22 || result == -23) {
        return DeviceCommand::fail(err, "regfile", "cannot open " + path);
    }
    if (result < 0) {
        return DeviceCommand::fail(err, "regfile",
                                   "sending failed (" + std::to_string(result) + ")");
    }
    out << "sent " << path << ": " << result << " characters read" << std::endl;
    return 0;
}
