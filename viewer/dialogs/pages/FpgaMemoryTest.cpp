#include "FpgaMemoryTest.h"

#include <thread>

#include <kxCxApi.h>

namespace hv {

namespace {

constexpr int kFpga = 0x3C;
constexpr int kRegControl = 0x15;
constexpr int kRegPattern = 0x3F;
constexpr int kRegStatus = 0x46;
constexpr int kStop = 0;
constexpr int kRun = 1;
constexpr int kDone = 0x01;
constexpr int kMismatch = 0x02;
constexpr std::chrono::milliseconds kPollPause{1};

bool write(CamContext* handle, int reg, int value) {
    return writeRegister(handle, kFpga, reg, value, 0) == 1;
}

// The status byte, or -1 when it cannot be read.
int status(CamContext* handle) {
    int value = 0;
    return readRegister(handle, kFpga, kRegStatus, &value, 0) == 1 ? value & 0xFF : -1;
}

bool pass(CamContext* handle, uint8_t pattern) {
    if (!write(handle, kRegControl, kStop) || status(handle) != 0 ||
        !write(handle, kRegControl, kRun) || !write(handle, kRegPattern, pattern)) {
        return false;
    }
    const auto end = std::chrono::steady_clock::now() + FpgaMemoryTest::kPassTime;
    while (true) {
        const int now = status(handle);
        if (now < 0) {
            return false;
        }
        if ((now & kDone) != 0) {
            return (now & kMismatch) == 0;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(kPollPause);
    }
}

}  // namespace

FpgaMemoryTest::Result FpgaMemoryTest::run(CamContext* handle, const Progress& progress) {
    Result result = progress(0) ? Result::Passed : Result::Aborted;
    for (std::size_t done = 0; done < kPatterns.size() && result == Result::Passed; ++done) {
        if (!pass(handle, kPatterns[done])) {
            result = Result::Failed;
        } else if (!progress(static_cast<int>((done + 1) * kProgressEnd / kPatterns.size()))) {
            result = Result::Aborted;
        }
    }
    write(handle, kRegControl, kStop);
    return result;
}

}  // namespace hv
