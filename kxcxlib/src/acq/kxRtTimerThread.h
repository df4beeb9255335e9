// The first board variant's streaming engine: a timer on its own thread that ticks every
// millisecond after the previous tick ends. Each tick polls the FPGA, selects the memory bank of
// the newest frame, reads the frame into the next of the twelve frame-store slots and calls the
// frame callback on this thread.
//
// In the packet layout a tick fetches a frame only when the board's frame counter (interrupt
// IN) has moved since the frame delivered last, so the callback comes once per sensor frame; the
// other ticks still poll the buttons and re-arm. A counter that stands still for longer than
// kExceedMs is logged and the newest frame fetched anyway, so a board whose counter is stuck
// still shows, and still fails visibly. The word layout reads a frame on every tick.
//
// A board that left the bus ends the stream: the first transfer that finds it gone (ENODEV) is
// the last one, the status word holds ENODEV, "Device Removed, Timer Thread Stopped" is logged
// once and the timer is not armed again; running() turns false. Failures that repeat from tick
// to tick ("Fail To Read Data", a failed FIFO reset) are logged at most once a second each, and
// the lines held back are counted into the next one written, or into one line when the timer
// stops.
#pragma once

#include <array>
#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "acq/kxFpgaLayout.h"
#include "log/kxRecordThrottle.h"
#include "thread/kxDeviceThreadBase.h"

struct CamContext;
class CamDevice;

class rtTimerThread : public SD::DeviceThreadBase {
public:
    static constexpr std::chrono::milliseconds kFirstArm{30};
    static constexpr std::chrono::milliseconds kPeriod{1};
    // Frames further apart than this are logged.
    static constexpr int64_t kExceedMs = 50;
    // Polls of the transfer status after a start pulse before the tick gives up on the bank. The
    // FPGA sets "started" within microseconds of the pulse, while one poll is a control transfer
    // of at least a USB frame (1 ms): 20 polls wait as long as one bulk read may (its 20 ms
    // time-out) and longer than a healthy board ever needs.
    static constexpr int kStartPolls = 20;
    // The tick's scratch area for frames that are drained and dropped.
    static constexpr std::size_t kStackSize = 1024 * 1024;

    rtTimerThread(CamDevice& owner, CamContext& first, CamContext& second);
    // Stops the timer and waits for the thread.
    ~rtTimerThread() override;

    // Writes bank 0's address and the transfer length to the FPGA, clears the tick count and
    // the re-initialisation counters and starts ticking (first tick 30 ms later).
    bool startTimer();
    // Ends the ticks and waits for the thread (from a tick itself: ends after that tick).
    void stopTimer();

    // Ticking: started and neither stopped nor ended by a board that left.
    bool running() const { return m_running; }
    // Ticks that fetched a frame since the start; the next frame goes to slot count mod 12.
    int32_t tickCount() const { return m_tickCount; }
    // The memory bank read last, shared by every device of the process.
    static int32_t lastBank();

protected:
    void svcThread() override;

private:
    void arm(std::chrono::milliseconds delay);
    void tick();
    // The word layout's bank selection of one tick.
    void selectBank(CamContext& context, int frameCount, int64_t now);
    // Packet layout: whether the counter read this tick calls for a frame (a failed read does).
    bool packetFrameDue(int counterRead, int64_t now);
    // Reads the button nibble; a change is held until a frame carries it to the callback.
    void pollButtons(CamContext& context);
    // Frame read with one retry; returns the last result.
    int readFrame(CamContext& context, uint8_t* slot, int buttonReport);
    // Whether the context's device is gone; if so, the stream ends here (see above).
    bool boardLeft(CamContext& context);
    // A failure line that may come every tick, at most once a second per kind.
    template <typename... Args>
    void logFailure(const std::string& kind, const char* format, const char* heldFormat,
                    Args... args);
    // The counts of failure lines still held back, one line each.
    void logHeldFailures();

    CamDevice& m_owner;
    CamContext& m_first;
    CamContext& m_second;

    boost::asio::io_context m_io;
    boost::asio::steady_timer m_timer;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_threadActive{false};
    std::atomic<int32_t> m_tickCount{0};
    std::array<int32_t, 2> m_reinit{};
    FpgaLayout::Length m_length = FpgaLayout::kWordLength;
    uint16_t m_lastNibble = 0;
    // The status word the next delivered frame carries: a button change not yet reported, or
    // 0xFF.
    int m_pendingReport = 0xFF;
    // Packet layout: the counter of the frame delivered last and when its read ended.
    bool m_delivered = false;
    int m_deliveredCounter = 0;
    int64_t m_deliveredAt = 0;
    std::array<int64_t, 2> m_lastFrameTime{};
    std::vector<uint8_t> m_scratch;
    RecordThrottle m_failureLines;
};
