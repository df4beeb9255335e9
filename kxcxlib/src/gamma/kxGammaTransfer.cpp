#include "kxGammaTransfer.h"

#include <cerrno>
#include <memory>

#include "kxCamChannel.h"
#include "kxCamContext.h"
#include "kxCxModLog.h"
#include "kxModFault.h"
#include "kxPlatformError.h"
#include "kxRegisterAccess.h"

namespace {

constexpr int kFpga = RegisterAccess::kSlaveFpga;
constexpr int kRegBusy = 0x60;
constexpr int kRegReady = 0x41;
constexpr int kReadyReads = 3;
constexpr int kRegUploadAddress = 0x6E;
constexpr int kRegUploadPulse = 0x6D;
constexpr int kRegDownloadAddress = 0x63;
constexpr int kRegLength = 0x67;
constexpr int kLengthCode = 0x08;
constexpr int kRegStart = 0x61;

void writeAddress(CamContext* context, int firstReg, uint32_t address) {
    for (int i = 0; i < 4; ++i) {
        RegisterAccess::write(context, kFpga, firstReg + i,
                              static_cast<int>(address >> (8 * i) & 0xFF), false);
    }
}

// Two writes of one register: the edge between them starts the FPGA's transfer.
void pulse(CamContext* context, int reg, int first, int second) {
    RegisterAccess::write(context, kFpga, reg, first, false);
    RegisterAccess::write(context, kFpga, reg, second, false);
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
    if (RegisterAccess::readOrZero(context, kFpga, kRegBusy, false) != 0) {
        return kBusy;
    }
    for (int i = 0; i < kReadyReads; ++i) {
        if (RegisterAccess::readOrZero(context, kFpga, kRegReady, false) == 1) {
            return 0;
        }
    }
    return kNotReady;
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
        return bulkFailure(context, context->bulkOutPipe, __LINE__, "CamDevice::uploadGammaTable");
    }
    return count;
}

int GammaTransfer::download(CamContext* context, int number, GammaTableFile::Table* table) {
    if (const int code = handshake(context); code != 0) {
        return code;
    }
    writeAddress(context, kRegDownloadAddress, slotAddress(number));
    RegisterAccess::write(context, kFpga, kRegLength, kLengthCode, true);
    pulse(context, kRegStart, 0x00, 0x01);
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
