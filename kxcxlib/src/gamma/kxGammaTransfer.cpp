#include "gamma/kxGammaTransfer.h"

#include <cerrno>
#include <memory>

#include "acq/kxFpgaLayout.h"
#include "device/kxCamChannel.h"
#include "device/kxCamContext.h"
#include "load/kxFpgaStartup.h"
#include "log/kxCxModLog.h"
#include "log/kxModFault.h"
#include "regs/kxRegisterAccess.h"
#include "usb/kxPlatformError.h"

namespace {

constexpr int kRegBusy = FpgaLayout::kRegStreamReset;  // reads non-zero while the FPGA is busy
constexpr int kRegUploadAddress = 0x6E;
constexpr int kRegUploadPulse = 0x6D;
constexpr int kLengthCode = 0x08;

void writeAddress(CamContext* context, int firstReg, uint32_t address) {
    for (int i = 0; i < 4; ++i) {
        FpgaLayout::write(context, firstReg + i, static_cast<int>(address >> (8 * i) & 0xFF));
    }
}

// Two writes of one register: the edge between them starts the FPGA's transfer.
void pulse(CamContext* context, int reg, int first, int second) {
    FpgaLayout::write(context, reg, first);
    FpgaLayout::write(context, reg, second);
}

// Logs a failed bulk transfer as a module record and aborts the pipe; returns the error.
int bulkFailure(CamContext* context, uint8_t pipe, int line, const char* function) {
    const int error = kx::lastPlatformError() != 0 ? kx::lastPlatformError() : EIO;
    CamChannel::logOf(*context)._outModLog_(ModLog::kError, ModFault::baseName(__FILE__), line,
                                            function, "%08lx", static_cast<unsigned long>(error));
    if (const auto device = context->usbDevice()) {
        device->abortPipe(pipe);
    }
    return error;
}

}  // namespace

int GammaTransfer::handshake(CamContext* context) {
    if (FpgaLayout::read(context, kRegBusy) != 0) {
        return kBusy;
    }
    return FpgaStartup::ready(context) ? 0 : kNotReady;
}

int GammaTransfer::upload(CamContext* context, int number, const char* fileName, int type) {
    GammaTableFile::Table table;
    const int count = GammaTableFile::build(fileName, number, type, table);
    if (const int code = handshake(context); code != 0) {
        return code;
    }
    writeAddress(context, kRegUploadAddress, slotAddress(number));
    pulse(context, kRegUploadPulse, 0x01, 0x00);
    const std::shared_ptr<kx::UsbDevice> device = context->usbDevice();
    uint32_t written = 0;
    if (!device) {
        kx::setLastPlatformError(ENODEV);
    }
    bool sent = device && device->writePipe(context->bulkOutPipe, table.data(),
                                            static_cast<uint32_t>(table.size()), written);
    if (sent && written != table.size()) {
        // Part of the table would be lost without a word.
        kx::setLastPlatformError(EIO);
        sent = false;
    }
    if (!sent) {
        // Negated, so that every failure of the upload reads as a negative result.
        return -bulkFailure(context, context->bulkOutPipe, __LINE__, "CamDevice::uploadGammaTable");
    }
    return count;
}

int GammaTransfer::download(CamContext* context, int number, GammaTableFile::Table* table) {
    if (const int code = handshake(context); code != 0) {
        return code;
    }
    writeAddress(context, FpgaLayout::kRegBankAddress, slotAddress(number));
    // Written with the 16-bit register address flag.
    RegisterAccess::write(context, RegisterAccess::kSlaveFpga, FpgaLayout::kRegLength, kLengthCode,
                          true);
    pulse(context, FpgaLayout::kRegStart, 0x00, 0x01);
    auto scratch = std::make_unique<GammaTableFile::Table>();
    const std::shared_ptr<kx::UsbDevice> device = context->usbDevice();
    uint32_t received = 0;
    if (!device) {
        kx::setLastPlatformError(ENODEV);
    }
    if (!device || !device->readPipe(context->bulkInPipe, scratch->data(),
                                     static_cast<uint32_t>(scratch->size()), received)) {
        bulkFailure(context, context->bulkInPipe, __LINE__, "CamDevice::downloadGammaTable");
        return 0;
    }
    if (table != nullptr) {
        *table = *scratch;
    }
    return static_cast<int>(received);
}
