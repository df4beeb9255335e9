#include "RegFileCommand.h"

#include "DeviceCommand.h"
#include "LineWarnings.h"
#include "LogEnvironment.h"
#include "ProgressBar.h"
#include "kxReadableFile.h"
#include "kxRegFileReader.h"

void RegFileCommand::warnAboutLines(const std::string& path, std::ostream& err) {
    RegFileReader reader(path.c_str());
    LineWarnings warnings(err, "regfile", path);
    RegFileReader::Line line;
    while (reader.next(line)) {
        if (const std::string problem = RegFileReader::problem(line); !problem.empty()) {
            warnings.add(line.number, "the line " + problem, line.text);
        }
    }
}

int RegFileCommand::run(const std::vector<std::string>& args, std::ostream& out,
                        std::ostream& err) {
    const Arguments arguments(args, DeviceCommand::sessionOptions());
    if (arguments.positional().size() != 1) {
        return DeviceCommand::fail(err, "regfile", "usage: regfile PATH [--quiet] [--device NAME]",
                                   2);
    }
    auto session = DeviceCommand::open(arguments, {"--quiet"}, "regfile", err);
    if (!session) {
        return session.exitCode();
    }
    const std::string& path = arguments.positional().front();
    int result = 0;
    {
        ProgressBar bar(err, arguments.flag("--quiet"));
        result = sendRegFile(session->handle(), path.c_str(), ProgressBar::callback());
    }
    // The library's log is written out before a message points to it.
    session.close();
    if (result == -22 || result == -23) {
        const std::string problem = ReadableFile::problem(path.c_str());
        return DeviceCommand::fail(err, "regfile",
                                   "cannot open " + path + (problem.empty() ? "" : ": " + problem));
    }
    warnAboutLines(path, err);
    if (result == -24) {
        return DeviceCommand::fail(err, "regfile",
                                   "the board did not take every register write: " +
                                       LogEnvironment::pointTo("names the first failed line"));
    }
    if (result < 0) {
        return DeviceCommand::fail(err, "regfile",
                                   "sending failed (" + std::to_string(result) + ")");
    }
    out << "sent " << path << ": " << result << " characters read" << std::endl;
    return 0;
}

CommandEntry RegFileCommand::entry() {
    return {"regfile",
            {"regfile PATH [--quiet]      send a register file to the sensor"},
            &RegFileCommand::run};
}
