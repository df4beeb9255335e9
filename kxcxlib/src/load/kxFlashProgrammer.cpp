#include "kxFlashProgrammer.h"

#include <array>

#include "kxCamContext.h"
#include "kxCxLogger.h"
#include "kxIntelHexRecord.h"
#include "kxLineReader.h"
#include "kxLoaderProgress.h"
#include "kxSpiWindow.h"
#include "kxVendorRequest.h"

namespace {

constexpr int kLineBuffer = 1024;
// First word program: SPI 0xAD, address 0, d0, d1 to 0x8E; later ones: d1, d0, 0xAD and the
// count to 0x91, the address bytes staying in 0x8E-0x90.
constexpr int kRegFirstWord = 0x8E;
constexpr int kRegNextWord = 0x91;
constexpr uint8_t kWordCount = 0x06;
constexpr uint8_t kPageCount = 0x14;

}  // namespace

void FlashProgrammer::programWords(CamContext* context, const uint8_t* data, bool& first) {
    for (int i = 0; i < kRecordBytes; i += 2) {
        SpiWindow::command(context, {SpiWindow::kWriteEnable});
        if (first) {
            const uint8_t bytes[] = {
                data[i + 1], data[i], 0x00, 0x00, 0x00, SpiWindow::kWordProgram, kWordCount};
            SpiWindow::write(context, kRegFirstWord, bytes, static_cast<int>(sizeof bytes));
            first = false;
        } else {
            const uint8_t bytes[] = {data[i + 1], data[i], SpiWindow::kWordProgram, kWordCount};
            SpiWindow::write(context, kRegNextWord, bytes, static_cast<int>(sizeof bytes));
        }
    }
}

void FlashProgrammer::programPage(CamContext* context, const uint8_t* data, uint32_t address) {
    SpiWindow::command(context, {SpiWindow::kWriteEnable});
    std::array<uint8_t, kRecordBytes + 5> bytes{};
    for (int i = 0; i < kRecordBytes; ++i) {
        bytes[static_cast<std::size_t>(i)] = data[kRecordBytes - 1 - i];
    }
    bytes[16] = static_cast<uint8_t>(address);
    bytes[17] = static_cast<uint8_t>(address >> 8);
    bytes[18] = static_cast<uint8_t>(address >> 16);
    bytes[19] = SpiWindow::kPageProgram;
    bytes[20] = kPageCount;
    SpiWindow::write(context, SpiWindow::kRegReply, bytes.data(), static_cast<int>(bytes.size()));
}

int FlashProgrammer::program(CamContext* context, int* size, const char* fileName,
                             CxProgressProc proc) {
    if (!context->flashErased) {
        return -1;
    }
    LoaderProgress progress(proc);
    CxLogger& log = CxLogger::instance();
    log.log(8,
            "Loading Firmware To SPI Flash...Turning On Trace in WinUsbControlTransfer Function "
            "Call\n");
    const char* path = fileName != nullptr ? fileName : kDefaultFile;
    const long fileSize = LineReader::fileSize(path);
    if (fileSize < 0) {
        log.log(8, "Loading Firmware To SPI Flash refused: %s is no regular file to read\n", path);
        *size = 0;
        return -1;
    }
    // Nothing reaches the flash unless every record of the image is sound.
    if (const int damaged = IntelHexRecord::firstDamagedLine(path); damaged != 0) {
        *size = 0;
        if (damaged > 0) {
            log.log(8, "Loading Firmware To SPI Flash refused: line %d of %s is damaged\n", damaged,
                    path);
        }
        return damaged > 0 ? -1 : -2;
    }
    LineReader reader(path, kLineBuffer);
    if (!reader.isOpen()) {
        return -2;
    }
    progress.report(2);
    VendorRequest::out(context, VendorRequest::kRequestFlashBegin, 0, 0, nullptr, 0);
    const long step = fileSize / 240 * 3;
    long due = step;

    const uint8_t maker = SpiWindow::maker(context);
    if (!SpiWindow::knownMaker(maker)) {
        return -5;
    }
    SpiWindow::enableStatusWrite(context, maker);
    SpiWindow::command(context, {SpiWindow::kWriteStatus, 0x00});
    int value = 4;
    progress.report(value);

    long characters = 0;
    int programmed = 0;
    uint32_t upper = 0;
    bool firstWord = true;
    std::string line;
    IntelHexRecord record;
    while (reader.next(line)) {
        characters += static_cast<long>(line.size());
        if (!line.empty() && line[0] == ':' && IntelHexRecord::parse(line, record)) {
            if (record.type == IntelHexRecord::kExtendedLinearAddress && record.data.size() == 2) {
                upper = static_cast<uint32_t>(record.data[0] << 8 | record.data[1]);
            } else if (record.type == IntelHexRecord::kData && record.count == kRecordBytes) {
                if (maker == SpiWindow::kMakerAutoIncrement) {
                    programWords(context, record.data.data(), firstWord);
                } else {
                    programPage(context, record.data.data(),
                                (upper & 0xFF) << 16 | static_cast<uint32_t>(record.address));
                }
                programmed += kRecordBytes;
            }
        }
        if (characters > due) {
            value += 3;
            progress.report(value);
            due += step;
        }
    }
    VendorRequest::out(context, VendorRequest::kRequestFlashEnd, 0, 0, nullptr, 0);
    *size = static_cast<int>(characters);
    progress.report(250);
    log.log(8,
            "Leaving Firmware To SPI Flash...Turning Off Trace in WinUsbControlTransfer Function "
            "Call\n");
    return programmed;
}
