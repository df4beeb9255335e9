#include "load/kxFpgaJtagLoader.h"

#include <algorithm>
#include <string>

#include "kxBinaryFile.h"
#include "load/kxLoaderProgress.h"
#include "load/kxVendorRequest.h"
#include "log/kxCxLogger.h"

namespace {

// wValue = operation << 8 | operand.
constexpr int kPreambleReset = 0x3CFF;
constexpr int kInstructionIdCode = 0xF009;
constexpr int kReadIdCode = 0x0FFF;
constexpr int kInstructionBypass = 0xF03F;
constexpr int kInstructionProgram = 0xF00B;
constexpr int kInstructionConfigIn = 0xF005;
constexpr int kDataFirst = 0x0FF0;
constexpr int kDataNext = 0x0F00;
constexpr int kDataLast = 0x0F0F;
constexpr int kInstructionStart = 0xF00C;
constexpr int kFinish = 0xAA20;

// One IN transfer of the JTAG port: the first reply byte, or the platform error negated.
int jtagIn(CamContext* context, int value, int length = 1) {
    uint8_t reply[4] = {};
    const int got =
        VendorRequest::in(context, VendorRequest::kRequestJtag, value, 0, reply, length);
    return got < 0 ? got : reply[0];
}

}  // namespace

void FpgaJtagLoader::reverseBits(std::vector<uint8_t>& bytes) {
    for (uint8_t& byte : bytes) {
        uint8_t reversed = 0;
        for (int bit = 0; bit < 8; ++bit) {
            reversed = static_cast<uint8_t>(reversed << 1 | (byte >> bit & 1));
        }
        byte = reversed;
    }
}

int FpgaJtagLoader::upload(CamContext* context, int* size, const char* fileName,
                           CxProgressProc proc) {
    LoaderProgress progress(proc);
    const char* path = fileName != nullptr ? fileName : kDefaultFile;
    std::vector<uint8_t> bitstream;
    if (!BinaryFile::read(path, bitstream)) {
        progress.report(220);
        return 0;
    }
    *size = static_cast<int>(bitstream.size());
    reverseBits(bitstream);

    long sent = 0;
    const auto failed = [&](int error) {
        CxLogger::instance().log(8,
                                 "Uploading FPGA firmware %s failed at byte %s: platform error "
                                 "%d\n",
                                 path, std::to_string(sent).c_str(), -error);
        return error;
    };
    for (const int step : {kPreambleReset, kInstructionIdCode, kReadIdCode, kInstructionBypass,
                           kInstructionProgram, kInstructionConfigIn}) {
        if (const int reply = jtagIn(context, step, step == kReadIdCode ? 4 : 1); reply < 0) {
            return failed(reply);
        }
    }

    const long total = static_cast<long>(bitstream.size());
    const long perReport = total / 200;
    int reports = 0;
    int idle = 0;
    bool stalled = false;
    while (!progress.aborted() && sent < total) {
        const long remaining = total - sent;
        const int length = static_cast<int>(std::min<long>(kChunk, remaining));
        const int value = sent == 0 ? kDataFirst : (remaining < kChunk ? kDataLast : kDataNext);
        const int moved = VendorRequest::out(context, VendorRequest::kRequestJtag, value, 0,
                                             bitstream.data() + sent, length);
        if (moved < 0) {
            return failed(moved);
        }
        if (moved == 0) {
            if (++idle == kMaxIdleTransfers) {
                stalled = true;
                CxLogger::instance().log(8,
                                         "Uploading FPGA firmware %s failed: the board took no "
                                         "data in %d transfers at byte %s\n",
                                         path, kMaxIdleTransfers, std::to_string(sent).c_str());
                break;
            }
            continue;
        }
        idle = 0;
        sent += moved;
        if (sent > reports * perReport) {
            progress.report(++reports);
        }
    }

    if (const int started = jtagIn(context, kInstructionStart); started < 0) {
        return failed(started);
    }
    progress.report(205);
    if (const int finished =
            VendorRequest::out(context, VendorRequest::kRequestJtag, kFinish, 0, nullptr, 0);
        finished < 0) {
        return failed(finished);
    }
    progress.report(210);
    if (const int bypass = jtagIn(context, kInstructionBypass); bypass < 0) {
        return failed(bypass);
    }
    progress.report(215);
    const int status = jtagIn(context, kInstructionBypass);
    if (status < 0) {
        return failed(status);
    }
    progress.report(220);
    return !stalled && (status & kDoneBit) != 0 ? static_cast<int>(sent) : 0;
}
