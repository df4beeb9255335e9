#include "SimCommand.h"

#include <cerrno>
#include <cstring>

#include "control/ControlClient.h"
#include "control/ControlProtocol.h"
#include "control/ControlRequest.h"

using boardsim::ControlClient;
using boardsim::ControlProtocol;
using boardsim::ControlRequest;

int SimCommand::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        usage(err);
        return 2;
    }
    if (args.size() == 1 && (args[0] == "help" || args[0] == "--help" || args[0] == "-h")) {
        usage(out);
        return 0;
    }
    std::string request;
    std::string problem;
    // A request the server would not understand is a usage error, told without asking it.
    ControlRequest parsed;
    if (!ControlProtocol::formatRequest(args, request, problem) ||
        !ControlRequest::parse(args, parsed, problem)) {
        err << "kxcxctl sim: " << problem << std::endl;
        return 2;
    }
    const std::string path = ControlProtocol::socketPath();
    if (path.empty()) {
        err << "kxcxctl sim: the control channel is switched off ("
            << ControlProtocol::kSocketVariable << "=" << ControlProtocol::kSocketOff << ")"
            << std::endl;
        return 1;
    }
    std::vector<std::string> reply;
    const int result = ControlClient::exchange(path, request, reply);
    switch (result) {
        case 0:
            break;
        case -ENOENT:
        case -ECONNREFUSED:
            err << "kxcxctl sim: no simulated board is running (no server at " << path << ")"
                << std::endl;
            return 1;
        case -ETIMEDOUT:
            err << "kxcxctl sim: no answer from the server at " << path << std::endl;
            return 1;
        case -EPROTO:
            err << "kxcxctl sim: the server at " << path << " ended the connection early"
                << std::endl;
            return 1;
        default:
            err << "kxcxctl sim: cannot reach the server at " << path << ": "
                << std::strerror(-result) << std::endl;
            return 1;
    }
    for (std::size_t i = 0; i + 1 < reply.size(); ++i) {
        out << reply[i] << "\n";
    }
    out.flush();
    if (ControlProtocol::isError(reply.back())) {
        err << "kxcxctl sim: "
            << reply.back().substr(std::string(ControlProtocol::kErrorPrefix).size()) << std::endl;
        return 1;
    }
    return 0;
}

void SimCommand::usage(std::ostream& out) {
    out << "usage: kxcxctl sim COMMAND\n"
           "\n"
           "Drives the simulated boards of a running program through its control channel\n"
           "(socket "
        << ControlProtocol::kSocketVariable << ", default " << ControlProtocol::defaultSocketPath()
        << ").\n\n";
    for (const std::string& line : ControlProtocol::commandSummary()) {
        out << "  " << line << "\n";
    }
    out.flush();
}

CommandEntry SimCommand::entry() {
    return {"sim",
            {"sim ...     drive the simulated boards of a running program (kxcxctl sim help)"},
            &SimCommand::run};
}
