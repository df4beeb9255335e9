// The exports of the library frame: the library object, versions, discovery, open and close.
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>

#include "kxCamContext.h"
#include "kxCamDevice.h"
#include "kxCxApi.h"
#include "kxCxLib.h"
#include "kxCxLogger.h"
#include "kxExportGuard.h"
#include "kxMvCamDevice.h"
#include "kxRtCamDevice.h"
#include "kxUsbTransport.h"

namespace {

// A process that ends while a board streams (exit() from anywhere, a caller that never unloads)
// stops the streams first: their threads would otherwise run on into the transport and the log
// as the process's static objects are destroyed under them.
void stopStreamsAtExit() {
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
            std::atexit(&stopStreamsAtExit);
        });
        return result;
    });
}

int unloadCxLib() {
    if (kxCxLib::obtain() == nullptr) {
        return -1;
    }
    // Streaming threads log and call back: they end before the log goes with the object.
    guarded(0, [] {
        CamDevice::stopAllStreams();
        return 0;
    });
    kxCxLib::destroy();
    return 0;
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

int findCxDevices() {
    return guarded(-1, [] {
        if (kxCxLib::obtain() == nullptr) {
            return -1;
        }
        return kxCxLib::discover(kx::UsbTransport::backend());
    });
}

int getNumberOfCxDevices() {
    if (kxCxLib::obtain() == nullptr) {
        return -1;
    }
    return static_cast<int>(kxCxLib::deviceTable().size());
}

int closeCxDevice(CamContext* handle) {
    if (kxCxLib::obtain() == nullptr) {
        return -1;
    }
    if (handle == nullptr) {
        return -3;
    }
    if (handle->kindTag != 0 && handle->kindTag != 1) {
        return -4;
    }
    CamDevice* owner = handle->owner;
    if (owner == nullptr) {
        return -6;
    }
    const int closed = guarded(-1, [&] { return owner->closeContext(handle); });
    delete owner;
    return closed >= 0 ? 0 : -7;
}

int removeCxDevices() {
    if (kxCxLib::obtain() == nullptr) {
        return -1;
    }
    kxCxLib::clearOpenContexts();
    return 0;
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

int getCxDeviceNames(std::vector<std::string>& names) {
    return guarded(-1, [&names] {
        if (kxCxLib::obtain() == nullptr) {
            return -1;
        }
        return kxCxLib::deviceNames(names);
    });
}

CamContext* openCxDevice(std::string name, int width, int height, int frameBytes,
                         const char* regFile, const char* traceFile) {
    return guarded<CamContext*>(nullptr, [&]() -> CamContext* {
        if (kxCxLib::obtain() == nullptr) {
            return nullptr;
        }
        CxDeviceEntry* entry = kxCxLib::findEntry(name);
        if (entry == nullptr) {
            return nullptr;
        }
        CamContext* context = nullptr;
        std::unique_ptr<CamDevice> device;
        if (entry->modelLabel == "RT4207-x6B6B") {
            auto rt = std::make_unique<rtCamDevice>();
            context = rt->open(entry->interfaceGuid, entry->memberIndex, width, height, frameBytes);
            device = std::move(rt);
        } else if (entry->modelLabel == "MV3318-x7654" || entry->modelLabel == "MV3329-x5542") {
            auto mv = std::make_unique<mvCamDevice>();
            context = mv->open(entry->interfaceGuid, entry->memberIndex, width, height, frameBytes,
                               regFile, traceFile);
            device = std::move(mv);
        }
        if (context == nullptr) {
            entry->openContext = nullptr;
            return nullptr;
        }
        context->owner = device.release();
        entry->openContext = context;
        return context;
    });
}
