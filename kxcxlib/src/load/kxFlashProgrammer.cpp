#include "load/kxFlashProgrammer.h"

#include <array>

#include "device/kxCamContext.h"
#include "kxIntelHexImage.h"
#include "kxMcsImage.h"
#include "load/kxLoaderProgress.h"
#include "load/kxSpiWindow.h"
#include "load/kxVendorRequest.h"
#include "log/kxCxLogger.h"

namespace {

// First word program: SPI 0xAD, address 0, d0, d1 to 0x8E; later ones: d1, d0, 0xAD and the
// count to 0x91, the address bytes staying in 0x8E-0x90.
constexpr int kRegFirstWord = 0x8E;
constexpr int kRegNextWord = 0x91;
constexpr uint8_t kWordCount = 0x06;
constexpr uint8_t kPageCount = 0x14;
constexpr uint32_t kFlashAddressBits = 0xFFFFFF;

}  // namespace

void FlashProgrammer::programWords(SpiWindow& window, const uint8_t* data, bool& first) {
    for (int i = 0; i < kRecordBytes; i += 2) {
        window.command({SpiWindow::kWriteEnable});
        if (first) {
            const uint8_t bytes[] = {
                data[i + 1], data[i], 0x00, 0x00, 0x00, SpiWindow::kWordProgram, kWordCount};
            window.write(kRegFirstWord, bytes, static_cast<int>(sizeof bytes));
            first = false;
        } else {
            const uint8_t bytes[] = {data[i + 1], data[i], SpiWindow::kWordProgram, kWordCount};
            window.write(kRegNextWord, bytes, static_cast<int>(sizeof bytes));
        }
    }
}

void FlashProgrammer::programPage(SpiWindow& window, const uint8_t* data, uint32_t address) {
    window.command({SpiWindow::kWriteEnable});
    std::array<uint8_t, kRecordBytes + 5> bytes{};
    for (int i = 0; i < kRecordBytes; ++i) {
        bytes[static_cast<std::size_t>(i)] = data[kRecordBytes - 1 - i];
    }
    bytes[16] = static_cast<uint8_t>(address);
    bytes[17] = static_cast<uint8_t>(address >> 8);
    bytes[18] = static_cast<uint8_t>(address >> 16);
    bytes[19] = SpiWindow::kPageProgram;
    bytes[20] = kPageCount;
    window.write(SpiWindow::kRegReply, bytes.data(), static_cast<int>(bytes.size()));
}

int FlashProgrammer::refuse(const char* path, const std::string& reason) {
    CxLogger::instance().log(8, "Loading Firmware To SPI Flash from %s refused: %s\n", path,
                             reason.c_str());
    return -1;
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
    *size = 0;
    // Nothing reaches the flash unless the whole image is sound and holds data.
    IntelHexImage image;
    if (!image.read(path)) {
        return refuse(path, image.fault());
    }
    McsImage flash;
    if (!flash.take(image, false)) {
        return refuse(path, flash.fault());
    }
    progress.report(2);
    const auto failed = [&](int error) {
        log.log(8, "Loading Firmware To SPI Flash from %s failed: platform error %d\n", path,
                -error);
        return error;
    };
    SpiWindow window(context);
    if (const int begun =
            VendorRequest::out(context, VendorRequest::kRequestFlashBegin, 0, 0, nullptr, 0);
        begun < 0) {
        return failed(begun);
    }
    const long step = image.characters() / 240 * 3;
    long due = step;

    const uint8_t maker = window.maker();
    if (window.failed()) {
        return failed(window.error());
    }
    if (!FlashIdentification::knownMaker(maker)) {
        return -5;
    }
    // The image must fit the flash as this maker's family lays it out.
    const FlashIdentification identification = window.identification();
    flash.take(image, maker == FlashIdentification::kMakerAutoIncrement);
    if (const std::string misfit = flash.misfit(identification.capacity());
        !window.failed() && !misfit.empty()) {
        VendorRequest::out(context, VendorRequest::kRequestFlashEnd, 0, 0, nullptr, 0);
        return refuse(path, misfit);
    }
    window.enableStatusWrite(maker);
    window.command({SpiWindow::kWriteStatus, 0x00});
    int value = 4;
    progress.report(value);

    long characters = 0;
    int programmed = 0;
    bool firstWord = true;
    for (const IntelHexImage::Line& line : image.lines()) {
        if (window.failed()) {
            break;
        }
        characters += line.characters;
        const IntelHexRecord& record = line.record;
        if (line.isRecord && record.type == IntelHexRecord::kData && record.count == kRecordBytes) {
            if (maker == FlashIdentification::kMakerAutoIncrement) {
                programWords(window, record.data.data(), firstWord);
            } else {
                programPage(window, record.data.data(), line.address() & kFlashAddressBits);
            }
            programmed += kRecordBytes;
        }
        if (characters > due) {
            value += 3;
            progress.report(value);
            due += step;
        }
    }
    if (window.failed()) {
        return failed(window.error());
    }
    if (const int ended =
            VendorRequest::out(context, VendorRequest::kRequestFlashEnd, 0, 0, nullptr, 0);
        ended < 0) {
        return failed(ended);
    }
    *size = static_cast<int>(characters);
    progress.report(250);
    log.log(8,
            "Leaving Firmware To SPI Flash...Turning Off Trace in WinUsbControlTransfer Function "
            "Call\n");
    return programmed;
}
