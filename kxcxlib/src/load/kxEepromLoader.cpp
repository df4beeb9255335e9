#include "kxEepromLoader.h"

#include <cstdio>
#include <string>

#include "kxCxLogger.h"
#include "kxFileHandle.h"
#include "kxLineReader.h"
#include "kxLoaderProgress.h"
#include "kxMcuRamLoader.h"
#include "kxVendorRequest.h"

int EepromLoader::write(CamContext* context, const char* fileName, CxProgressProc proc) {
    const char* path = fileName != nullptr ? fileName : kDefaultFile;
    const long fileSize = LineReader::fileSize(path);
    if (fileSize < 0) {
        return -1;
    }
    if (fileSize > kMaxImage) {
        CxLogger::instance().log(8, "Writing boot image %s refused: %s bytes do not fit\n", path,
                                 std::to_string(fileSize).c_str());
        return -1;
    }
    FileHandle file(std::fopen(path, "rb"));
    if (!file) {
        return -1;
    }
    LoaderProgress progress(proc);
    const long step = McuRamLoader::progressStep(fileSize);
    long due = 3 * step;
    int value = 2;
    int written = 0;
    uint8_t piece[kPiece];
    std::size_t got = 0;
    while ((got = std::fread(piece, 1, kPiece, file.get())) > 0) {
        VendorRequest::out(context, VendorRequest::kRequestI2c, written & 0xFFFF, kAddressWord,
                           piece, static_cast<int>(got));
        written += static_cast<int>(got);
        if (written > due) {
            progress.report(++value);
            due += step;
        }
    }
    return written;
}
