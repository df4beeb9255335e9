// The exports of the library frame: the library object, versions, discovery, open and close.
#include <exception>

#include "kxCamContext.h"
#include "kxCamDevice.h"
#include "kxCxApi.h"
#include "kxCxLib.h"
#include "kxCxLogger.h"
#include "kxUsbTransport.h"

namespace {

// Runs an export's body; an exception never crosses the interface, it becomes the fallback.
template <typename Result, typename Body>
Result guarded(Result fallback, Body body) noexcept {
    try {
        return body();
    } catch (const std::exception&) {
        return fallback;
    }
}

}  // namespace

extern "C" {

int loadCxLib() {
    return guarded(-2, [] {
        kxCxLib* lib = kxCxLib::obtain();
        return lib != nullptr ? lib->load() : -1;
    });
}

int unloadCxLib() {
    if (kxCxLib::obtain() == nullptr) {
        return -1;
    }
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
    (void)width;
    (void)height;
    (void)frameBytes;
    (void)regFile;
    (void)traceFile;
    if (kxCxLib::obtain() == nullptr) {
        return nullptr;
    }
    CxDeviceEntry* entry = kxCxLib::findEntry(name);
    if (entry == nullptr) {
        return nullptr;
    }
    // The board variants are built on the USB channel; until the channel can open a board no
    // model label yields a device, and the entry keeps no open context.
    entry->openContext = nullptr;
    return nullptr;
}
