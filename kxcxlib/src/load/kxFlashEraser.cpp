#include "load/kxFlashEraser.h"

#include "device/kxCamContext.h"
#include "load/kxLoaderProgress.h"
#include "load/kxSpiWindow.h"
#include "log/kxCxLogger.h"

namespace {
constexpr uint16_t kBusyBit = 0x01;
}

uint16_t FlashEraser::readStatus(SpiWindow& window) {
    uint8_t reply[2];
    window.reply(reply, 2);
    return static_cast<uint16_t>(reply[1] << 8 | reply[0]);
}

int FlashEraser::erase(CamContext* context, uint16_t* status, CxProgressProc proc) {
    LoaderProgress progress(proc);
    CxLogger& log = CxLogger::instance();
    log.log(8,
            "Erasing Firmware from SPI Flash...Turning On Trace in WinUsbControlTransfer Function "
            "Call\n");
    SpiWindow window(context);
    const auto failed = [&] {
        log.log(8, "Erasing Firmware from SPI Flash failed: platform error %d\n", -window.error());
        return window.error();
    };
    const uint8_t maker = window.maker();
    if (window.failed()) {
        return failed();
    }
    if (!FlashIdentification::knownMaker(maker)) {
        return -5;
    }
    progress.report(5);
    window.enableStatusWrite(maker);
    progress.report(10);
    window.command({SpiWindow::kWriteStatus, 0x00});
    progress.report(15);
    window.command({SpiWindow::kReadStatus, 0x00});
    progress.report(20);
    status[0] = readStatus(window);
    progress.report(25);
    window.command({SpiWindow::kWriteEnable});
    progress.report(30);
    window.command({SpiWindow::kReadStatus, 0x00});
    progress.report(35);
    status[1] = readStatus(window);
    progress.report(40);
    window.command({SpiWindow::kWriteEnable});
    progress.report(45);
    window.command({SpiWindow::kChipErase});
    progress.report(50);
    window.command({SpiWindow::kReadStatus, 0x00});
    progress.report(55);
    status[2] = readStatus(window);
    int counter = 60;
    progress.report(counter);
    // A read that fails clears the reply, which ends the poll; the failure ends the erase.
    uint16_t last = status[2];
    while ((last & kBusyBit) != 0) {
        window.command({SpiWindow::kReadStatus, 0x00});
        if (counter < 100) {
            counter += 5;
            progress.report(counter);
        }
        last = readStatus(window);
        if (counter < 230) {
            counter += 5;
        }
        progress.report(counter);
    }
    if (window.failed()) {
        return failed();
    }
    progress.report(110);
    context->flashErased = true;
    log.log(8,
            "Erasing Firmware from SPI Flash...Turning Off Trace in WinUsbControlTransfer Function "
            "Call [%s]\n",
            "YES");
    return 0;
}
