#include "kxFpgaJtagLoader.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "kxCxLogger.h"
#include "kxFileHandle.h"
#include "kxLineReader.h"
#include "kxLoaderProgress.h"
#include "kxVendorRequest.h"

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
constexpr int kFileReadPiece = 1024;

int jtagIn(CamContext* context, int value, int length = 1) {
    uint8_t reply[4] = {};
    VendorRequest::in(context, VendorRequest::kRequestJtag, value, 0, reply, length);
    return reply[0];
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

bool FpgaJtagLoader::readFile(const char* path, std::vector<uint8_t>& bytes) {
    const long size = LineReader::fileSize(path);
    FileHandle file(size >= 0 ? std::fopen(path, "rb") : nullptr);
    if (!file) {
        return false;
    }
    bytes.assign(static_cast<std::size_t>(size), 0);
    std::size_t read = 0;
    while (read < bytes.size()) {
        const std::size_t piece = std::min<std::size_t>(kFileReadPiece, bytes.size() - read);
        const std::size_t got = std::fread(bytes.data() + read, 1, piece, file.get());
        if (got == 0) {
            break;
        }
        read += got;
    }
    bytes.resize(read);
    return true;
}

int FpgaJtagLoader::upload(CamContext* context, int* size, const char* fileName,
                           CxProgressProc proc) {
    LoaderProgress progress(proc);
    const char* path = fileName != nullptr ? fileName : kDefaultFile;
    std::vector<uint8_t> bitstream;
    if (!readFile(path, bitstream)) {
        progress.report(220);
        return 0;
    }
    *size = static_cast<int>(bitstream.size());
    reverseBits(bitstream);

    jtagIn(context, kPreambleReset);
    jtagIn(context, kInstructionIdCode);
    jtagIn(context, kReadIdCode, 4);
    jtagIn(context, kInstructionBypass);
    jtagIn(context, kInstructionProgram);
    jtagIn(context, kInstructionConfigIn);

    const long total = static_cast<long>(bitstream.size());
    const long perReport = total / 200;
    long sent = 0;
    int reports = 0;
    int idle = 0;
    bool stalled = false;
    while (!progress.aborted() && sent < total) {
        const long remaining = total - sent;
        const int length = static_cast<int>(std::min<long>(kChunk, remaining));
        const int value = sent == 0 ? kDataFirst : (remaining < kChunk ? kDataLast : kDataNext);
        const int moved = VendorRequest::out(context, VendorRequest::kRequestJtag, value, 0,
                                             bitstream.data() + sent, length);
        if (moved <= 0) {
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

    jtagIn(context, kInstructionStart);
    progress.report(205);
    VendorRequest::out(context, VendorRequest::kRequestJtag, kFinish, 0, nullptr, 0);
    progress.report(210);
    jtagIn(context, kInstructionBypass);
    progress.report(215);
    const int status = jtagIn(context, kInstructionBypass);
    progress.report(220);
    return !stalled && (status & kDoneBit) != 0 ? static_cast<int>(sent) : 0;
}
