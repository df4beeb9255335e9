#include "kxMcuRamLoader.h"

#include <chrono>
#include <thread>

#include "kxCxLogger.h"
#include "kxIntelHexRecord.h"
#include "kxLineReader.h"
#include "kxLoaderProgress.h"
#include "kxVendorRequest.h"

namespace {
constexpr int kLineBuffer = 1024;
constexpr std::chrono::milliseconds kPauseAfterReport{20};
}  // namespace

int McuRamLoader::load(CamContext* context, const char* fileName, CxProgressProc proc) {
    const char* path = fileName != nullptr ? fileName : kDefaultFile;
    const long fileSize = LineReader::fileSize(path);
    if (fileSize < 0) {
        return -1;
    }
    CxLogger& log = CxLogger::instance();
    // The controller runs whatever lands in its RAM: every record must be sound first.
    const int damaged = IntelHexRecord::firstDamagedLine(path);
    LineReader reader(path, kLineBuffer);
    if (damaged < 0 || !reader.isOpen()) {
        log.log(8, "Uploading firmware %s failed, file handler %d\n", path, 0);
        return -1;
    }
    if (damaged > 0) {
        log.log(8, "Uploading firmware %s refused: line %d is damaged\n", path, damaged);
        return -1;
    }
    LoaderProgress progress(proc);
    const uint8_t hold = 0x01;
    VendorRequest::out(context, VendorRequest::kRequestRamLoad, kCpuControl, 0, &hold, 1);
    const long step = progressStep(fileSize);
    long due = 3 * step;
    int value = 2;
    long characters = 0;
    int loaded = 0;
    std::string line;
    IntelHexRecord record;
    while (reader.next(line)) {
        characters += static_cast<long>(line.size());
        if (!line.empty() && line[0] == ':' && IntelHexRecord::parse(line, record) &&
            record.type == IntelHexRecord::kData && record.count > 0) {
            VendorRequest::out(context, VendorRequest::kRequestRamLoad, record.address, 0,
                               record.data.data(), record.count);
            loaded += record.count;
        }
        if (characters > due) {
            progress.report(++value);
            due += step;
            std::this_thread::sleep_for(kPauseAfterReport);
        }
    }
    const uint8_t run = 0x00;
    VendorRequest::out(context, VendorRequest::kRequestRamLoad, kCpuControl, 0, &run, 1);
    return loaded;
}
