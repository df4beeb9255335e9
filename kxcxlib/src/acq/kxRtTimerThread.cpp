#include "acq/kxRtTimerThread.h"

#include <boost/system/error_code.hpp>
#include <cerrno>
#include <optional>

#include "acq/kxFrameReader.h"
#include "device/kxCamChannel.h"
#include "device/kxCamContext.h"
#include "device/kxCamDevice.h"
#include "log/kxCxLogger.h"
#include "usb/kxPlatformError.h"

namespace {

std::atomic<int32_t> g_lastBank{0};
// The thread that runs ticks, so a stop from inside a tick does not wait for itself.
thread_local const rtTimerThread* t_ticking = nullptr;

constexpr int kButtonMask = 0x0F;
constexpr int kNoButtonChange = 0xFF;
constexpr int kRequestFifoReset = 0xC0;

int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

CxLogger& logger() {
    return CxLogger::instance();
}

}  // namespace

rtTimerThread::rtTimerThread(CamDevice& owner, CamContext& first, CamContext& second)
    : m_owner(owner), m_first(first), m_second(second), m_timer(m_io) {
    setStackSize(kStackSize);
    setThreadName("kx-timer");
}

rtTimerThread::~rtTimerThread() {
    stopTimer();
    join();
}

int32_t rtTimerThread::lastBank() {
    return g_lastBank;
}

void rtTimerThread::arm(std::chrono::milliseconds delay) {
    m_timer.expires_after(delay);
    m_timer.async_wait([this](const boost::system::error_code& error) {
        if (!error) {
            tick();
        }
    });
}

bool rtTimerThread::startTimer() {
    if (m_running) {
        return true;
    }
    // A previous run that was stopped from inside its own tick ends by itself.
    join();
    logger().log(8, "Timer Thread Activated (start)...\n");
    const auto& bank = FpgaLayout::kBankAddress[0];
    FpgaLayout::write(&m_first, FpgaLayout::kRegBankAddress, bank[0]);
    FpgaLayout::write(&m_first, FpgaLayout::kRegBankAddress + 1, bank[1]);
    FpgaLayout::write(&m_first, FpgaLayout::kRegBankAddress + 3, bank[3]);
    for (int i = 0; i < 3; ++i) {
        FpgaLayout::write(&m_first, FpgaLayout::kRegLength + i,
                          m_length[static_cast<std::size_t>(i)]);
    }
    m_tickCount = 0;
    m_delivered = false;
    m_failureLines.clear();
    m_io.restart();
    arm(kFirstArm);
    m_reinit = {};
    m_running = true;
    if (!start()) {
        m_running = false;
        return false;
    }
    return true;
}

void rtTimerThread::stopTimer() {
    m_running = false;
    m_io.stop();
    if (t_ticking == this) {
        return;
    }
    join();
    m_timer.cancel();
    logHeldFailures();
}

template <typename... Args>
void rtTimerThread::logFailure(const std::string& kind, const char* format, const char* heldFormat,
                               Args... args) {
    const std::optional<uint64_t> held = m_failureLines.admit(kind);
    if (!held) {
        return;
    }
    if (*held == 0) {
        logger().log(8, format, args...);
    } else {
        logger().log(8, heldFormat, args..., static_cast<int>(*held));
    }
}

void rtTimerThread::logHeldFailures() {
    for (const auto& [kind, count] : m_failureLines.takeHeld()) {
        logger().log(8, "%s: %d more not logged...\n", kind.c_str(), static_cast<int>(count));
    }
}

bool rtTimerThread::boardLeft(CamContext& context) {
    if (!context.deviceGone) {
        return false;
    }
    context.status().store(ENODEV);
    m_running = false;
    logger().log(8, "Device Removed, Timer Thread Stopped...\n");
    return true;
}

void rtTimerThread::svcThread() {
    t_ticking = this;
    m_threadActive = true;
    m_io.run();
    m_threadActive = false;
    t_ticking = nullptr;
}

void rtTimerThread::selectBank(CamContext& context, int frameCount, int64_t now) {
    const int index = &context == &m_first ? 0 : 1;
    int status = FpgaLayout::read(&context, FpgaLayout::kRegTransferStatus);
    const bool ready = (status & FpgaLayout::kStatusReady) != 0;
    m_reinit[static_cast<std::size_t>(index)] =
        ready ? 0 : m_reinit[static_cast<std::size_t>(index)] + 1;
    int bank = FpgaLayout::read(&context, FpgaLayout::kRegNewestBank);
    if (context.deviceGone) {
        return;
    }
    logger().log(8, "Timer Thread Finishing Status Check R62[%d.%d] R77[%d]\n", status,
                 m_reinit[static_cast<std::size_t>(index)], bank);
    bank &= 3;
    if (bank == g_lastBank || !ready) {
        return;
    }
    FpgaLayout::write(&context, FpgaLayout::kRegBankAddress + 2,
                      FpgaLayout::kBankAddress[static_cast<std::size_t>(bank)][2]);
    FpgaLayout::write(&context, FpgaLayout::kRegStart, 0);
    FpgaLayout::write(&context, FpgaLayout::kRegStart, 1);
    int polls = 0;
    while (true) {
        status = FpgaLayout::read(&context, FpgaLayout::kRegTransferStatus);
        if ((status & FpgaLayout::kStatusStarted) != 0) {
            break;
        }
        if (context.deviceGone) {
            return;
        }
        logger().log(8, "Xfer State Not Started S[%d]...\n", status);
        if (++polls >= kStartPolls) {
            logger().log(8, "Xfer State Not Started after %d polls, bank M[%d] skipped...\n", polls,
                         bank);
            return;
        }
    }
    int64_t& lastFrame = m_lastFrameTime[static_cast<std::size_t>(index)];
    if (m_tickCount > 0 && now - lastFrame > kExceedMs) {
        logger().log(8, "*****Exceed 50ms Interval M[%d]F[%d]T[%d]*****\n", bank, frameCount,
                     static_cast<int>(now - lastFrame));
    }
    lastFrame = now;
    logger().log(8, "Read Memory M[%d]...\n", bank);
    g_lastBank = bank;
}

int rtTimerThread::readFrame(CamContext& context, uint8_t* slot, int buttonReport) {
    const bool packet = FpgaLayout::packetMode(FpgaLayout::readVersion(&context));
    context.lastReadResult = FrameReader::read(context, slot, packet);
    if (context.lastReadResult < 0 && !context.deviceGone) {
        const int error = kx::lastPlatformError();
        context.status().store(error);
        logFailure("Fail To Read Data E[" + std::to_string(error) + "]",
                   "Fail To Read Data B[%d]E[%d]...\n",
                   "Fail To Read Data B[%d]E[%d] (%d more not logged)...\n",
                   static_cast<int>(context.lastReadResult), error);
        context.lastReadResult = FrameReader::read(context, slot, packet);
    }
    // The callback reads the status word as this tick's button report: a read error that a
    // retry overcame must not look like pressed buttons.
    if (context.lastReadResult > 0) {
        context.status().store(buttonReport);
    }
    return context.lastReadResult;
}

bool rtTimerThread::packetFrameDue(int counterRead, int64_t now) {
    const int counter = counterRead & 0xFFFF;
    if (counterRead < 0 || !m_delivered || counter != m_deliveredCounter) {
        return true;
    }
    if (now - m_deliveredAt <= kExceedMs) {
        return false;
    }
    logger().log(8, "*****Exceed 50ms Interval F[%d]T[%d] Frame Counter Unchanged*****\n", counter,
                 static_cast<int>(now - m_deliveredAt));
    return true;
}

void rtTimerThread::pollButtons(CamContext& context) {
    const int buttons = FpgaLayout::read(&context, FpgaLayout::kRegStatus) & kButtonMask;
    if (buttons != m_lastNibble) {
        m_lastNibble = static_cast<uint16_t>(buttons);
        m_pendingReport = buttons;
    }
}

void rtTimerThread::tick() {
    if (!m_running) {
        logger().log(8, "Timer Thread Stopped...\n");
        return;
    }
    CamContext& context = m_first;
    const CxFrameCallback callback = context.callback;
    const FpgaLayout::Version version = FpgaLayout::readVersion(&context);
    if (boardLeft(context)) {
        return;
    }
    const bool packet = FpgaLayout::packetMode(version);
    int frameCount = 0;
    int counterRead = 0;
    if (packet) {
        m_length = FpgaLayout::kPacketLength;
        if (m_reinit[0] > 0) {
            if (CamChannel::control(&context, 0, kRequestFifoReset, 0, 0, 0, nullptr, nullptr) ==
                0) {
                logger().log(8, "REINITIIALIZE FPGA.......\n");
                m_reinit[0] = 0;
            } else {
                logFailure("REINITIIALIZE FPGA FAILED", "REINITIIALIZE FPGA FAILED.......\n",
                           "REINITIIALIZE FPGA FAILED (%d more not logged).......\n");
            }
        }
        counterRead = CamChannel::interruptRead(context);
        frameCount = counterRead & 0xFFFF;
    } else {
        m_length = FpgaLayout::kWordLength;
        frameCount = FpgaLayout::read(&context, FpgaLayout::kRegFrameCountHigh) << 8 |
                     FpgaLayout::read(&context, FpgaLayout::kRegFrameCountLow);
    }
    const int started = FpgaLayout::read(&context, FpgaLayout::kRegTransferStatus);
    const std::size_t padded =
        static_cast<std::size_t>(FrameReader::paddedBytes(context.frameBytes));
    if ((started & FpgaLayout::kStatusStarted) != 0) {
        if (m_scratch.size() < padded) {
            m_scratch.resize(padded);
        }
        context.lastReadResult = FrameReader::read(context, m_scratch.data(), packet);
    }
    if (boardLeft(context)) {
        return;
    }
    const int64_t now = nowMs();
    bool fetch = true;
    if (packet) {
        fetch = packetFrameDue(counterRead, now);
        if (fetch) {
            CamChannel::interruptWrite(context);
            m_lastFrameTime[0] = now;
        }
    } else {
        selectBank(context, frameCount, now);
    }
    pollButtons(context);
    if (boardLeft(context)) {
        return;
    }
    if (!fetch) {
        context.status().store(m_pendingReport);
        arm(kPeriod);
        return;
    }
    const std::size_t slotIndex = static_cast<std::size_t>(m_tickCount % CamDevice::kFrameSlots);
    uint8_t* slot =
        context.frameStore.get() + slotIndex * static_cast<std::size_t>(context.frameBytes);
    const int report = m_pendingReport;
    m_pendingReport = kNoButtonChange;
    context.status().store(report);
    const bool delivered = readFrame(context, slot, report) > 0;
    if (boardLeft(context)) {
        return;
    }
    if (!delivered && m_pendingReport == kNoButtonChange) {
        m_pendingReport = report;  // the next frame carries the change
    }
    if (packet) {
        m_delivered = delivered && counterRead >= 0;
        m_deliveredCounter = frameCount;
        m_deliveredAt = nowMs();
    }
    if (delivered && callback != nullptr) {
        callback(slot, context.frameBytes, &context);
    }
    ++m_tickCount;
    arm(kPeriod);
}
