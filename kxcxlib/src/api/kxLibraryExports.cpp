// The exports of the library object: load and unload, validity, versions and the caller's log
// lines.
#include <cstdlib>
#include <mutex>

#include <kxCxApi.h>
#include "api/kxExportGuard.h"
#include "device/kxCamDevice.h"
#include "frame/kxCxLib.h"
#include "log/kxCxLogger.h"
#include "usb/kxUsbTransport.h"

namespace {

// Ends every stream; a failure to stop one does not keep the caller from going on. A process
// that ends while a board streams (exit() from anywhere, a caller that never unloads) stops the
// streams first: their threads would otherwise run on into the transport and the log as the
// process's static objects are destroyed under them.
void stopAllStreams() {
    guarded(0, [] {
        CamDevice::stopAllStreams();
        return 0;
    });
}

}  // namespace

extern "C" {

int loadCxLib() {
    return guarded(-2, [] {
        kxCxLib* lib = kxCxLib::obtain();
        const int result = lib != nullptr ? lib->load() : -1;
        // Registered after the objects the streams use exist (the transport and the log), so
        // it runs before they go.
        static std::once_flag atExit;
        std::call_once(atExit, [] {
            kx::UsbTransport::backend();
            CxLogger::instance();
            std::atexit(&stopAllStreams);
        });
        return result;
    });
}

int unloadCxLib() {
    return guarded(-1, [] {
        if (kxCxLib::obtain() == nullptr) {
            return -1;
        }
        // Streaming threads log and call back: they end before the log goes with the object.
        stopAllStreams();
        kxCxLib::destroy();
        return 0;
    });
}

bool isCxLibValid() {
    kxCxLib::obtain();
    return kxCxLib::isValid() && kxCxLib::obtain() != nullptr;
}

int getCxLibVersion(int* major, int* minor, int* revision, int* build) {
    if (kxCxLib::obtain() == nullptr) {
        return -1;
    }
    const int values[] = {kxCxLib::kVersionMajor, kxCxLib::kVersionMinor, kxCxLib::kVersionRevision,
                          kxCxLib::kVersionBuild};
    int* targets[] = {major, minor, revision, build};
    for (int i = 0; i < 4; ++i) {
        if (targets[i] != nullptr) {
            *targets[i] = values[i];
        }
    }
    return 0;
}

const char* getCxLibVersionLabel() {
    kxCxLib* lib = kxCxLib::obtain();
    return lib != nullptr ? lib->versionLabel() : nullptr;
}

void logMessage(const char* text) {
    if (text == nullptr || kxCxLib::obtain() == nullptr || !kxCxLib::isLoaded()) {
        return;
    }
    guarded(0, [text] {
        CxLogger::instance().log(8, "> %s\n", text);
        return 0;
    });
}

}  // extern "C"
