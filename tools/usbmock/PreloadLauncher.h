// Starts a program that reaches the usbdevfs bridge of this process: with umockdev's preload
// library in its LD_PRELOAD, the test bed's UMOCKDEV_DIR, and KXCX_BACKEND=libusb. In an address
// sanitizer build the sanitizer's runtime goes first in LD_PRELOAD: a program built with it
// refuses to start when another library precedes it (programs without it, such as a shell
// between, run with it all the same). The thread sanitizer's runtime has no such rule and breaks
// programs built without it, so it is not preloaded.
#pragma once

#include <string>
#include <vector>

namespace usbmock {

class PreloadLauncher {
public:
    static constexpr const char* kPreload = "libumockdev-preload.so.0";

    PreloadLauncher() = delete;

    // The file of the address sanitizer runtime loaded in this process; empty if none.
    static std::string sanitizerRuntime();
    // The child's environment: environment (NAME=value entries) with LD_PRELOAD and
    // KXCX_BACKEND set as above.
    static std::vector<std::string> childEnvironment(const std::vector<std::string>& environment,
                                                     const std::string& sanitizerRuntime);
    // Runs command (looked up in PATH) and waits for it, passing SIGINT, SIGTERM and SIGHUP on to
    // it. Its exit status; 128 + the signal that ended it; 127 when it could not start.
    static int run(const std::vector<std::string>& command);
};

}  // namespace usbmock
