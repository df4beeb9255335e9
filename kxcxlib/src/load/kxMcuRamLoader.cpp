#include "load/kxMcuRamLoader.h"

#include <chrono>
#include <thread>

#include "kxControllerProgram.h"
#include "kxIntelHexImage.h"
#include "kxLineReader.h"
#include "load/kxLoaderProgress.h"
#include "load/kxVendorRequest.h"
#include "log/kxCxLogger.h"

namespace {
constexpr std::chrono::milliseconds kPauseAfterReport{20};
}  // namespace

int McuRamLoader::load(CamContext* context, const char* fileName, CxProgressProc proc) {
    const char* path = fileName != nullptr ? fileName : kDefaultFile;
    CxLogger& log = CxLogger::instance();
    // The controller runs whatever lands in its RAM: the whole image must be a sound program
    // for it first.
    IntelHexImage image;
    if (LineReader::fileSize(path) < 0) {
        log.log(8, "Uploading firmware %s failed, file handler %d\n", path, 0);
        return -1;
    }
    const std::string fault = image.read(path) ? ControllerProgram::fault(image) : image.fault();
    if (!fault.empty()) {
        log.log(8, "Uploading firmware %s refused: %s\n", path, fault.c_str());
        return -1;
    }
    LoaderProgress progress(proc);
    const auto failed = [&](int error) {
        log.log(8, "Uploading firmware %s failed: platform error %d\n", path, -error);
        return error;
    };
    const uint8_t hold = 0x01;
    if (const int held =
            VendorRequest::out(context, VendorRequest::kRequestRamLoad, kCpuControl, 0, &hold, 1);
        held < 0) {
        return failed(held);
    }
    const long step = progressStep(image.characters());
    long due = 3 * step;
    int value = 2;
    long characters = 0;
    int loaded = 0;
    for (const IntelHexImage::Line& line : image.lines()) {
        characters += line.characters;
        const IntelHexRecord& record = line.record;
        if (line.isRecord && record.type == IntelHexRecord::kData && record.count > 0) {
            // A program cut short stays with the CPU held: it would run half a program.
            if (const int sent = VendorRequest::out(context, VendorRequest::kRequestRamLoad,
                                                    static_cast<int>(line.address()), 0,
                                                    record.data.data(), record.count);
                sent < 0) {
                return failed(sent);
            }
            loaded += record.count;
        }
        if (characters > due) {
            progress.report(++value);
            due += step;
            std::this_thread::sleep_for(kPauseAfterReport);
        }
    }
    const uint8_t run = 0x00;
    if (const int released =
            VendorRequest::out(context, VendorRequest::kRequestRamLoad, kCpuControl, 0, &run, 1);
        released < 0) {
        return failed(released);
    }
    return loaded;
}
