#include "load/kxEepromLoader.h"

#include <algorithm>
#include <string>
#include <vector>

#include "kxBinaryFile.h"
#include "kxBootImageFile.h"
#include "kxLineReader.h"
#include "load/kxLoaderProgress.h"
#include "load/kxMcuRamLoader.h"
#include "load/kxVendorRequest.h"
#include "log/kxCxLogger.h"
#include "regs/kxRegisterAccess.h"

int EepromLoader::write(CamContext* context, const char* fileName, CxProgressProc proc) {
    const char* path = fileName != nullptr ? fileName : kDefaultFile;
    CxLogger& log = CxLogger::instance();
    const auto refuse = [&](const std::string& reason) {
        log.log(8, "Writing boot image %s refused: %s\n", path, reason.c_str());
        return -1;
    };
    const long fileSize = LineReader::fileSize(path);
    if (fileSize < 0) {
        return -1;
    }
    if (const std::string tooLarge = BootImageFile::sizeFault(fileSize); !tooLarge.empty()) {
        return refuse(tooLarge);
    }
    // A boot EEPROM holding anything but a boot image leaves a board that does not start.
    std::vector<uint8_t> image;
    if (!BinaryFile::read(path, image)) {
        return -1;
    }
    if (const std::string fault = BootImageFile::fault(image); !fault.empty()) {
        return refuse(fault);
    }
    LoaderProgress progress(proc);
    const long step = McuRamLoader::progressStep(static_cast<long>(image.size()));
    long due = 3 * step;
    int value = 2;
    int written = 0;
    while (written < static_cast<int>(image.size())) {
        const int piece = std::min(kPiece, static_cast<int>(image.size()) - written);
        if (const int sent =
                VendorRequest::out(context, RegisterAccess::kRequestI2c, written & 0xFFFF,
                                   kAddressWord, image.data() + written, piece);
            sent < 0) {
            log.log(8, "Writing boot image %s failed at byte %d: platform error %d\n", path,
                    written, -sent);
            return sent;
        }
        written += piece;
        if (written > due) {
            progress.report(++value);
            due += step;
        }
    }
    return written;
}
