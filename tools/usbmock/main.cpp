// kxcx-usbmock: runs a program with simulated boards behind emulated usbdevfs, so that it finds
// them through libusb as it would find real boards.
//
//   kxcx-usbmock [--os-descriptors none|1.0|2.0] [KXCX_SIM text] -- COMMAND [ARGUMENT...]
//
// The boards are the text's (KXCX_SIM syntax), else KXCX_SIM's, else the default board. This
// process serves the simulator's control channel, so "kxcxctl sim unplug|plug|press ..." from
// another shell acts on them while the command runs. The exit status is the command's.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "PreloadLauncher.h"
#include "UsbdevfsBridge.h"

namespace {

constexpr const char* kUsage =
    "usage: kxcx-usbmock [--os-descriptors none|1.0|2.0] [KXCX_SIM text] -- COMMAND "
    "[ARGUMENT...]\n";

int usage(const char* problem) {
    std::fprintf(stderr, "kxcx-usbmock: %s\n%s", problem, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    usbmock::OsDescriptors os = usbmock::OsDescriptors::V1;
    std::string description;
    std::size_t at = 0;
    for (; at < args.size() && args[at] != "--"; ++at) {
        if (args[at] == "--os-descriptors" && at + 1 < args.size()) {
            const std::string& kind = args[++at];
            if (kind == "none") {
                os = usbmock::OsDescriptors::None;
            } else if (kind == "1.0") {
                os = usbmock::OsDescriptors::V1;
            } else if (kind == "2.0") {
                os = usbmock::OsDescriptors::V2;
            } else {
                return usage(("unknown OS descriptors \"" + kind + "\"").c_str());
            }
        } else if (description.empty() && args[at].rfind("--", 0) != 0) {
            description = args[at];
        } else {
            return usage(("unexpected \"" + args[at] + "\"").c_str());
        }
    }
    if (at + 1 >= args.size()) {
        return usage("no command after --");
    }
    const std::vector<std::string> command(args.begin() + static_cast<long>(at) + 1, args.end());

    boardsim::SimHost& host = boardsim::SimHost::instance();
    std::string error = host.configError();
    if (!description.empty()) {
        host.configure(description, error);
    }
    if (!error.empty()) {
        std::fprintf(stderr, "kxcx-usbmock: %s\n", error.c_str());
        return 2;
    }
    // The boards behind the emulated usbdevfs are driven from outside (kxcxctl sim) as well.
    host.serveControlChannel();
    try {
        usbmock::UsbdevfsBridge bridge(host, os);
        for (const auto& board : host.boards()) {
            std::fprintf(stderr, "kxcx-usbmock: %s at %s\n", board->path().c_str(),
                         bridge.devicePath(board->path()).c_str());
        }
        return usbmock::PreloadLauncher::run(command);
    } catch (const std::exception& problem) {
        std::fprintf(stderr, "kxcx-usbmock: %s\n", problem.what());
        return 1;
    }
}
