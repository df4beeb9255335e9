// The streaming side of a board: the sensor fills the FPGA's four memory banks in turn (see
// FrameSchedule for when), and the FPGA sends banks to the host on bulk IN.
//
// FPGA registers (slave 0x3C):
//   0x11/0x12  frames produced since power-on, low and high byte (ro)
//   0x77       bits 0-1: the bank of the newest frame (ro)
//   0x62       bit 0: the newest frame has not been sent yet; bit 2: a transfer started by a
//              start pulse or a trigger has bytes the host has not read yet (ro)
//   0x60       any write: transfer state reset (no bank selected, queued data dropped)
//   0x61       0 then 1: start pulse, sends the memory at the address in 0x63-0x66 (bank k at
//              0x800000 + 0x100000 * k) with the length in 0x67-0x69, both little-endian
// The transfer layout follows the design version (registers 1 and 0): the word layout below
// 1.48 (major 0, or major 1 with minor below 0x30), the packet layout from 1.48 on.
//   Word layout: the length counts 32-bit words (0x01D4C0 = 480000 bytes). After the host has
//     read a transfer completely the FPGA sends the same bank again from its start (rendered
//     anew when the bank holds a newer frame by then), until another pulse or a 0x60 write.
//   Packet layout: the length counts 512-byte packets. One byte 0x31 on interrupt OUT sends the
//     newest bank as 938 packets (480256 bytes: the frame and 256 bytes of zeros); nothing is
//     repeated. The interrupt IN pipe answers the frame counter (low 16 bits).
//   Memory beyond the frame's 480000 bytes, and banks without a frame yet, read as zeros; a
//   transfer ends at its bank's end (1 MiB). A pulse or trigger drops what was still queued.
// Second variant (acquisition mode 1 through request 0xC0): every produced frame is pushed as
// one 480000-byte transfer; when the host falls behind, the oldest queued frames not yet begun
// are dropped so that at most kStreamQueueLimit wait (counted in framesDropped). Unthrottled, a
// new frame is made whenever fewer than kUnthrottledStreamDepth wait.
//
// Timing: with frames per second above 0 each transfer reaches the host after the time its
// bytes take on the bus at kBusBytesPerSecond (12 ms for a frame); unthrottled (0) at once,
// and the sensor produces a fresh frame whenever the host asks for the newest one (a read of
// 0x77; a read of 0x62 or of the interrupt IN counter, or a trigger, when every frame has been
// sent), so that a host that fetches only frames it has not seen yet always finds one.
//
// Pixels are rendered only for frames that are sent, with the settings the registers hold
// then; the average intensity lands in sensor register 0x4293. A frame is rendered when its
// transfer starts, unless the board's frame thread did it already: while a host has started or
// read a transfer within the last kRenderAheadFor, the thread renders each new frame as the
// sensor produces it (throttled boards only), so that the host's own thread does not pay for it.
// The thread renders without the board's lock (a copy of the settings, one render at a time),
// so that a slow render never holds up the host's requests, and installs the frame afterwards
// unless the bank holds another frame by then. It also carries the second variant's stream; it
// runs only while one of the two needs it.
//
// Everything here runs under the board's lock, except the destructor (call it without).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "FrameClock.h"
#include "FrameSchedule.h"
#include "FrameWorker.h"
#include "UsbController.h"
#include "chips/FpgaRegisterFile.h"
#include "chips/SensorController.h"
#include "config/BoardConfig.h"
#include "picture/PictureSettings.h"
#include "picture/ScenePicture.h"
#include "usb/DataPipe.h"

namespace boardsim {

class FrameSource {
public:
    using TimePoint = FrameClock::TimePoint;

    static constexpr uint32_t kFrameBytes = ScenePicture::kFrameBytes;  // 480000
    static constexpr uint32_t kWordBytes = 4;
    static constexpr uint32_t kPacketBytes = 512;
    static constexpr uint32_t kPacketsPerFrame = 938;
    static constexpr uint32_t kPacketFrameBytes = kPacketBytes * kPacketsPerFrame;  // 480256
    static constexpr uint32_t kBankBase = 0x800000;
    static constexpr uint32_t kBankSize = 0x100000;
    static constexpr uint8_t kTriggerByte = 0x31;
    static constexpr std::size_t kStreamQueueLimit = 3;
    static constexpr std::size_t kUnthrottledStreamDepth = 2;
    static constexpr int64_t kBusBytesPerSecond = 40'000'000;
    static constexpr std::chrono::milliseconds kRenderAheadFor{1000};

    // The board's parts the frames pass through; borrowed, they must outlive this object.
    struct Parts {
        FpgaRegisterFile& fpga;
        SensorController& sensor;
        UsbController& controller;
        DataPipe& bulkIn;
        // The lamp's brightness, 0 to 1; called under the board's lock.
        std::function<double()> illumination;
    };

    // boardMutex: the board's lock, which the second variant's stream thread takes.
    FrameSource(const BoardConfig& config, Parts parts, std::mutex& boardMutex);
    ~FrameSource();
    FrameSource(const FrameSource&) = delete;
    FrameSource& operator=(const FrameSource&) = delete;

    // Power-on: no frames, nothing selected, the stream off, counters 0.
    void powerOn();
    // The board left the bus: the stream stops, nothing stays selected.
    void unplugged();
    // Ends the frame thread and waits for it (without the board's lock): the process ends.
    void finishThread() { m_worker.finish(); }

    // Before the board handles a request or a change: the frames due by now are produced and
    // the status registers show the present state.
    void advance();
    // After it: follows the sensor's clock and reset (sensor 0x3003 bit 5 running, 0x3008 bit 6
    // held in reset) and the acquisition mode.
    void settle();
    // Before a bulk IN read: the word layout's repeat of the selected bank.
    void beforeBulkRead();
    // Bytes the host wrote on interrupt OUT.
    void interruptOut(const uint8_t* data, uint32_t length);

    // Frames produced since power-on, its low 16 bits as the interrupt IN pipe and registers
    // 0x11/0x12 show it, and the stream's dropped frames.
    uint64_t framesProduced() const { return m_schedule.produced(); }
    // The counter as the host reads it on the interrupt IN pipe (unthrottled: after a fresh
    // frame, when every frame has been sent).
    uint16_t hostFrameCounter();
    uint16_t frameCounter() const { return static_cast<uint16_t>(m_schedule.produced()); }
    uint64_t framesDropped() const { return m_dropped; }
    bool streaming() const { return m_streaming; }
    // The design version's transfer layout.
    bool packetLayout() const;

    FrameClock& clock() { return m_clock; }
    // After the manual clock moved: produce what is due and let the stream catch up.
    void clockAdvanced();

    // What the registers ask of the picture now.
    PictureSettings pictureSettings() const;

private:
    // What the FPGA sends from: a bank (or -1: memory without frames), the offset in it, the
    // bytes per transfer, and whether it repeats (word layout).
    struct Selection {
        bool active = false;
        int bank = -1;
        uint32_t offset = 0;
        uint32_t bytes = 0;
        bool repeat = false;
    };

    uint8_t hostRead(uint8_t reg);
    // Unthrottled: produces a frame when there is none yet or the newest has been sent.
    void freshFrameWhenSent();
    void resetTransfers();
    void startPulse();
    void trigger();
    // Queues one transfer of the selection; started: from a pulse or trigger (0x62 bit 2).
    void send(bool started);
    void pushFrame(int bank, uint32_t offset, uint32_t bytes);
    // The pixels of the frame a bank holds, rendered when not yet; null when it holds none.
    const uint8_t* bankPixels(int bank);
    // Counters, registers and the 0x62 status from the schedule and the pipe.
    void publish();
    uint8_t transferStatus() const;
    DataPipe::Clock::time_point readyAt(uint32_t bytes) const;

    void startStream();
    void stopStream();
    // A host started or read a transfer: render ahead for a while.
    void hostActive();
    FrameWorker::Next workerStep();
    FrameWorker::Next streamStep();
    FrameWorker::Next renderAheadStep();
    // Render ahead: what to render is taken under the board's lock, rendered without it, and
    // put into its bank under the lock again.
    bool prepareAhead(int bank);
    void renderAhead();
    void installAhead();

    const BoardConfig m_config;
    Parts m_parts;
    FrameClock m_clock;
    FrameSchedule m_schedule;
    std::unique_ptr<ScenePicture> m_picture;  // anew at power-on
    std::array<std::vector<uint8_t>, FrameSchedule::kBanks> m_bankPixels;
    std::array<bool, FrameSchedule::kBanks> m_bankRendered{};
    std::array<uint64_t, FrameSchedule::kBanks> m_bankRenderedFrame{};
    uint64_t m_powerOns = 0;
    // One render at a time, of the picture that is there: taken alone, or after the board's lock.
    std::mutex m_renderMutex;

    // The frame the thread renders ahead (only the thread touches it).
    struct AheadFrame {
        bool done = false;  // rendered, waiting to be put into its bank
        int bank = 0;
        uint64_t number = 0;
        uint64_t powerOn = 0;
        double seconds = 0.0;
        PictureSettings settings;
        std::vector<uint16_t> gamma;  // copy of the selected table (settings point here)
        int average = 0;
        std::vector<uint8_t> pixels;
    };
    AheadFrame m_ahead;

    Selection m_selection;
    bool m_transferStarted = false;  // a pulse or trigger transfer was queued
    uint64_t m_transferPush = 0;     // its push number on the pipe
    bool m_newestSent = false;
    bool m_sparesProvided = false;    // the pipe holds buffers for every transfer in flight
    uint64_t m_reportedProduced = 0;  // frames counted into the controller's counter
    uint64_t m_reportedTaken = 0;     // pipe transfers counted as sent

    bool m_streaming = false;
    uint64_t m_streamedUpTo = 0;  // frames produced when the stream last pushed
    uint64_t m_dropped = 0;
    std::chrono::steady_clock::time_point m_lastHostActivity{};

    // Last: its thread runs workerStep on this object, so it ends first.
    FrameWorker m_worker;
};

}  // namespace boardsim
