#include "kxFlashEraser.h"

#include "kxCamContext.h"
#include "kxCxLogger.h"
#include "kxLoaderProgress.h"
#include "kxSpiWindow.h"

namespace {
constexpr uint16_t kBusyBit = 0x01;
}

uint16_t FlashEraser::readStatus(CamContext* context) {
    uint8_t reply[2];
    SpiWindow::reply(context, reply, 2);
    return static_cast<uint16_t>(reply[1] << 8 | reply[0]);
}

int FlashEraser::erase(CamContext* context, uint16_t* status, CxProgressProc proc) {
    LoaderProgress progress(proc);
    CxLogger& log = CxLogger::instance();
    log.log(8,
            "Erasing Firmware from SPI Flash...Turning On Trace in WinUsbControlTransfer Function "
            "Call\n");
    const uint8_t maker = SpiWindow::maker(context);
    if (!SpiWindow::knownMaker(maker)) {
        return -5;
    }
    progress.report(5);
    SpiWindow::enableStatusWrite(context, maker);
    progress.report(10);
    SpiWindow::command(context, {SpiWindow::kWriteStatus, 0x00});
    progress.report(15);
    SpiWindow::command(context, {SpiWindow::kReadStatus, 0x00});
    progress.report(20);
    status[0] = readStatus(context);
    progress.report(25);
    SpiWindow::command(context, {SpiWindow::kWriteEnable});
    progress.report(30);
    SpiWindow::command(context, {SpiWindow::kReadStatus, 0x00});
    progress.report(35);
    status[1] = readStatus(context);
    progress.report(40);
    SpiWindow::command(context, {SpiWindow::kWriteEnable});
    progress.report(45);
    SpiWindow::command(context, {SpiWindow::kChipErase});
    progress.report(50);
    SpiWindow::command(context, {SpiWindow::kReadStatus, 0x00});
    progress.report(55);
    status[2] = readStatus(context);
    int counter = 60;
    progress.report(counter);
    // A read that fails clears the reply, which ends the poll.
    uint16_t last = status[2];
    while ((last & kBusyBit) != 0) {
        SpiWindow::command(context, {SpiWindow::kReadStatus, 0x00});
        if (counter < 100) {
            counter += 5;
            progress.report(counter);
        }
        last = readStatus(context);
        if (counter < 230) {
            counter += 5;
        }
        progress.report(counter);
    }
    progress.report(110);
    context->flashErased = true;
    log.log(8,
            "Erasing Firmware from SPI Flash...Turning Off Trace in WinUsbControlTransfer Function "
            "Call [%s]\n",
            "YES");
    return 0;
}
