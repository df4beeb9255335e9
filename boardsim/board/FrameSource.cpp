#include "FrameSource.h"

#include <algorithm>
#include <cstring>

#include "PictureSettingsReader.h"

namespace boardsim {

namespace {

using Fpga = FpgaRegisterFile;

constexpr uint8_t kDvpClockRunning = 0x20;
constexpr uint8_t kIspHeldInReset = 0x40;
constexpr uint8_t kPulseBit = 0x01;
constexpr uint8_t kBankBits = 0x03;

}  // namespace

FrameSource::FrameSource(const BoardConfig& config, Parts parts, std::mutex& boardMutex)
    : m_config(config),
      m_parts(std::move(parts)),
      m_schedule(config.framesPerSecond),
      m_worker(boardMutex, m_parts.bulkIn, [this] { return workerStep(); }) {
    if (config.manualClock) {
        m_clock.setManual();
    }
    Fpga& fpga = m_parts.fpga;
    for (const uint8_t reg : {Fpga::kRegFrameCountLow, Fpga::kRegFrameCountHigh,
                              Fpga::kRegTransferStatus, Fpga::kRegNewestBank}) {
        fpga.setReadHook(reg, [this](uint8_t read, uint8_t) { return hostRead(read); });
    }
    fpga.setWriteHook(Fpga::kRegStreamControl, [this](uint8_t reg, uint8_t value) {
        m_parts.fpga.poke(reg, value);
        resetTransfers();
    });
    fpga.setWriteHook(Fpga::kRegStartPulse, [this](uint8_t reg, uint8_t value) {
        const uint8_t before = m_parts.fpga.peek(reg);
        m_parts.fpga.poke(reg, value);
        if ((before & kPulseBit) == 0 && (value & kPulseBit) != 0) {
            startPulse();
        }
    });
}

FrameSource::~FrameSource() = default;

void FrameSource::powerOn() {
    // Made now rather than with the first frame sent: a new picture may have to draw its scene
    // first, which takes long enough to make the host's first frames late.
    {
        std::lock_guard<std::mutex> render(m_renderMutex);
        m_picture = std::make_unique<ScenePicture>(m_config.seed);
    }
    ++m_powerOns;
    m_schedule.powerOn(m_clock.now());
    m_bankRendered.fill(false);
    m_selection = Selection{};
    m_transferStarted = false;
    m_newestSent = false;
    m_reportedProduced = 0;
    m_reportedTaken = m_parts.bulkIn.takenCount();
    m_streaming = false;
    m_lastHostActivity = {};
    m_worker.stop();
    m_dropped = 0;
    publish();
}

void FrameSource::unplugged() {
    m_streaming = false;
    m_lastHostActivity = {};
    m_worker.stop();
    m_selection = Selection{};
    m_transferStarted = false;
}

bool FrameSource::packetLayout() const {
    const uint8_t major = m_parts.fpga.peek(Fpga::kRegVersionMajor);
    const uint8_t minor = m_parts.fpga.peek(Fpga::kRegVersionMinor);
    return major >= 2 || (major == 1 && minor >= 0x30);
}

void FrameSource::advance() {
    m_schedule.advance(m_clock.now());
    publish();
}

void FrameSource::clockAdvanced() {
    advance();
    m_worker.wake();
}

void FrameSource::settle() {
    const bool running =
        (m_parts.sensor.peek(SensorController::kRegDvpControl) & kDvpClockRunning) != 0 &&
        (m_parts.sensor.peek(SensorController::kRegSystemControl) & kIspHeldInReset) == 0;
    if (running != m_schedule.running()) {
        m_schedule.setRunning(running, m_clock.now());
        publish();
        m_worker.wake();
    }
    const bool wanted = m_config.model->variant == Variant::Streaming &&
                        m_parts.controller.acquisitionMode() == UsbController::kModeStart;
    if (wanted && !m_streaming) {
        startStream();
    } else if (!wanted && m_streaming) {
        stopStream();
    }
}

void FrameSource::publish() {
    const uint64_t produced = m_schedule.produced();
    if (produced > m_reportedProduced) {
        m_parts.controller.countFrameProduced(static_cast<uint32_t>(produced - m_reportedProduced));
        m_reportedProduced = produced;
        m_newestSent = false;
    }
    const uint64_t taken = m_parts.bulkIn.takenCount();
    if (taken > m_reportedTaken) {
        m_parts.controller.countFrameSent(static_cast<uint32_t>(taken - m_reportedTaken));
    }
    m_reportedTaken = taken;
    Fpga& fpga = m_parts.fpga;
    fpga.poke(Fpga::kRegFrameCountLow, static_cast<uint8_t>(produced & 0xFF));
    fpga.poke(Fpga::kRegFrameCountHigh, static_cast<uint8_t>(produced >> 8 & 0xFF));
    fpga.poke(Fpga::kRegNewestBank, static_cast<uint8_t>(m_schedule.newestBank() & kBankBits));
    fpga.poke(Fpga::kRegTransferStatus, transferStatus());
}

uint8_t FrameSource::transferStatus() const {
    uint8_t status = 0;
    if (m_schedule.produced() > 0 && !m_newestSent) {
        status |= Fpga::kStatusFrameReady;
    }
    if (m_transferStarted && m_parts.bulkIn.finishedCount() <= m_transferPush) {
        status |= Fpga::kStatusTransferBusy;
    }
    return status;
}

uint8_t FrameSource::hostRead(uint8_t reg) {
    // Unthrottled: asking for the newest bank always finds a fresh frame; the ready bit finds
    // one whenever the newest has been sent.
    if (reg == Fpga::kRegNewestBank) {
        if (!m_schedule.throttled() && m_schedule.produce(m_clock.now())) {
            publish();
        }
    } else if (reg == Fpga::kRegTransferStatus) {
        freshFrameWhenSent();
    }
    return m_parts.fpga.peek(reg);
}

void FrameSource::freshFrameWhenSent() {
    if (!m_schedule.throttled() && (m_schedule.produced() == 0 || m_newestSent) &&
        m_schedule.produce(m_clock.now())) {
        publish();
    }
}

uint16_t FrameSource::hostFrameCounter() {
    freshFrameWhenSent();
    return frameCounter();
}

void FrameSource::resetTransfers() {
    m_selection = Selection{};
    m_transferStarted = false;
    m_parts.bulkIn.clear();
    publish();
}

void FrameSource::startPulse() {
    const Fpga& fpga = m_parts.fpga;
    uint32_t address = 0;
    for (int i = 3; i >= 0; --i) {
        address = address << 8 | fpga.peek(static_cast<uint8_t>(Fpga::kRegBankAddress + i));
    }
    uint64_t length = 0;
    for (int i = 2; i >= 0; --i) {
        length = length << 8 | fpga.peek(static_cast<uint8_t>(Fpga::kRegTransferLength + i));
    }
    const bool packets = packetLayout();
    Selection selection;
    selection.active = true;
    selection.repeat = !packets;
    if (address >= kBankBase && address < kBankBase + FrameSchedule::kBanks * kBankSize) {
        selection.bank = static_cast<int>((address - kBankBase) / kBankSize);
    }
    selection.offset = address % kBankSize;
    const uint64_t bytes = length * (packets ? kPacketBytes : kWordBytes);
    selection.bytes =
        static_cast<uint32_t>(std::min<uint64_t>(bytes, kBankSize - selection.offset));
    m_selection = selection;
    m_parts.bulkIn.clear();
    send(true);
    hostActive();
}

void FrameSource::interruptOut(const uint8_t* data, uint32_t length) {
    if (length >= 1 && data[0] == kTriggerByte && packetLayout() && !m_streaming) {
        trigger();
    }
}

void FrameSource::trigger() {
    freshFrameWhenSent();
    Selection selection;
    selection.active = true;
    selection.bank = m_schedule.newestBank();
    selection.bytes = kPacketFrameBytes;
    m_selection = selection;
    m_parts.bulkIn.clear();
    send(true);
    hostActive();
}

void FrameSource::beforeBulkRead() {
    if (m_streaming || !m_selection.active || !m_selection.repeat || packetLayout() ||
        m_parts.bulkIn.queuedTransfers() > 0) {
        return;
    }
    send(false);
    hostActive();
}

void FrameSource::hostActive() {
    if (!m_schedule.throttled()) {
        return;
    }
    m_lastHostActivity = std::chrono::steady_clock::now();
    m_worker.start();
}

void FrameSource::send(bool started) {
    if (m_selection.bytes == 0) {
        return;
    }
    pushFrame(m_selection.bank, m_selection.offset, m_selection.bytes);
    if (started) {
        m_transferStarted = true;
        m_transferPush = m_parts.bulkIn.pushedCount() - 1;
    }
    publish();
}

void FrameSource::pushFrame(int bank, uint32_t offset, uint32_t bytes) {
    const uint8_t* pixels = bank >= 0 ? bankPixels(bank) : nullptr;
    if (!m_sparesProvided) {
        // At most this many frame transfers are queued or being filled at a time.
        m_parts.bulkIn.provideSpares(kStreamQueueLimit + 1, kPacketFrameBytes);
        m_sparesProvided = true;
    }
    std::vector<uint8_t> buffer = m_parts.bulkIn.spareBuffer(bytes);
    buffer.resize(bytes);
    const uint32_t fromFrame =
        pixels != nullptr && offset < kFrameBytes ? std::min(bytes, kFrameBytes - offset) : 0;
    if (fromFrame > 0) {
        std::memcpy(buffer.data(), pixels + offset, fromFrame);
    }
    std::memset(buffer.data() + fromFrame, 0, bytes - fromFrame);
    m_parts.bulkIn.push(std::move(buffer), readyAt(bytes));
    FrameSchedule::Frame frame;
    if (pixels != nullptr && bank == m_schedule.newestBank() && m_schedule.bankFrame(bank, frame) &&
        frame.number + 1 == m_schedule.produced()) {
        m_newestSent = true;
    }
}

DataPipe::Clock::time_point FrameSource::readyAt(uint32_t bytes) const {
    if (!m_schedule.throttled()) {
        return DataPipe::Clock::time_point::min();
    }
    const int64_t nanos = static_cast<int64_t>(bytes) * 1'000'000'000 / kBusBytesPerSecond;
    return DataPipe::Clock::now() + std::chrono::nanoseconds(nanos);
}

const uint8_t* FrameSource::bankPixels(int bank) {
    FrameSchedule::Frame frame;
    if (!m_schedule.bankFrame(bank, frame)) {
        return nullptr;
    }
    std::vector<uint8_t>& pixels = m_bankPixels[bank];
    if (m_bankRendered[bank] && m_bankRenderedFrame[bank] == frame.number) {
        return pixels.data();
    }
    if (pixels.size() != kFrameBytes) {
        pixels.resize(kFrameBytes);
    }
    int average = 0;
    {
        std::lock_guard<std::mutex> render(m_renderMutex);
        m_picture->render(pictureSettings(), frame.seconds, pixels.data());
        average = m_picture->averageIntensity();
    }
    m_bankRendered[bank] = true;
    m_bankRenderedFrame[bank] = frame.number;
    m_parts.sensor.poke(SensorController::kRegAverageIntensity,
                        static_cast<uint8_t>(std::clamp(average, 0, 255)));
    return pixels.data();
}

PictureSettings FrameSource::pictureSettings() const {
    return PictureSettingsReader::read(m_parts.sensor, m_parts.fpga, m_parts.illumination(),
                                       m_config.seed);
}

void FrameSource::startStream() {
    m_streaming = true;
    m_streamedUpTo = m_schedule.produced();
    m_selection = Selection{};
    m_transferStarted = false;
    m_worker.start();
}

void FrameSource::stopStream() {
    m_streaming = false;
    // The thread goes on rendering ahead if a host polls, else it ends.
    m_worker.wake();
}

FrameWorker::Next FrameSource::workerStep() {
    return m_streaming ? streamStep() : renderAheadStep();
}

FrameWorker::Next FrameSource::renderAheadStep() {
    FrameWorker::Next next;
    const auto idleSince = m_lastHostActivity + kRenderAheadFor;
    if (!m_schedule.throttled() || std::chrono::steady_clock::now() >= idleSince) {
        m_worker.stop();
        return next;
    }
    advance();
    installAhead();
    if (m_schedule.produced() > 0 && prepareAhead(m_schedule.newestBank())) {
        next.unlocked = [this] { renderAhead(); };
        return next;
    }
    next.at = idleSince;
    if (!m_clock.manual()) {
        next.at = std::min(next.at, m_schedule.nextFrameAt());
    }
    return next;
}

bool FrameSource::prepareAhead(int bank) {
    FrameSchedule::Frame frame;
    if (!m_schedule.bankFrame(bank, frame) ||
        (m_bankRendered[bank] && m_bankRenderedFrame[bank] == frame.number)) {
        return false;
    }
    m_ahead.done = false;
    m_ahead.bank = bank;
    m_ahead.number = frame.number;
    m_ahead.powerOn = m_powerOns;
    m_ahead.seconds = frame.seconds;
    m_ahead.settings = pictureSettings();
    if (m_ahead.settings.gammaTable != nullptr) {
        m_ahead.gamma.assign(m_ahead.settings.gammaTable,
                             m_ahead.settings.gammaTable + FpgaRegisterFile::kGammaEntries);
    } else {
        m_ahead.gamma.clear();
    }
    return true;
}

void FrameSource::renderAhead() {
    m_ahead.settings.gammaTable = m_ahead.gamma.empty() ? nullptr : m_ahead.gamma.data();
    m_ahead.pixels.resize(kFrameBytes);
    std::lock_guard<std::mutex> render(m_renderMutex);
    m_picture->render(m_ahead.settings, m_ahead.seconds, m_ahead.pixels.data());
    m_ahead.average = m_picture->averageIntensity();
    m_ahead.done = true;
}

void FrameSource::installAhead() {
    if (!m_ahead.done) {
        return;
    }
    m_ahead.done = false;
    const int bank = m_ahead.bank;
    FrameSchedule::Frame frame;
    if (m_ahead.powerOn != m_powerOns || !m_schedule.bankFrame(bank, frame) ||
        frame.number != m_ahead.number ||
        (m_bankRendered[bank] && m_bankRenderedFrame[bank] == frame.number)) {
        return;  // the bank moved on, or the host rendered it meanwhile
    }
    std::swap(m_bankPixels[bank], m_ahead.pixels);
    m_bankRendered[bank] = true;
    m_bankRenderedFrame[bank] = frame.number;
    m_parts.sensor.poke(SensorController::kRegAverageIntensity,
                        static_cast<uint8_t>(std::clamp(m_ahead.average, 0, 255)));
}

FrameWorker::Next FrameSource::streamStep() {
    FrameWorker::Next next;
    const TimePoint now = m_clock.now();
    if (!m_schedule.throttled()) {
        if (m_parts.bulkIn.queuedTransfers() >= kUnthrottledStreamDepth) {
            next.room = kUnthrottledStreamDepth;
        } else if (m_schedule.produce(now)) {
            publish();
            pushFrame(m_schedule.newestBank(), 0, kFrameBytes);
            m_streamedUpTo = m_schedule.produced();
            next.room = kUnthrottledStreamDepth;
        }
        // Otherwise the sensor is stopped: wait until woken.
        return next;
    }
    advance();
    const uint64_t produced = m_schedule.produced();
    if (produced > m_streamedUpTo) {
        // Frames the thread did not get to in time are lost like frames dropped from the queue.
        m_dropped += produced - m_streamedUpTo - 1;
        m_dropped += m_parts.bulkIn.dropOldest(kStreamQueueLimit - 1);
        pushFrame(m_schedule.newestBank(), 0, kFrameBytes);
        m_streamedUpTo = produced;
        publish();
    }
    if (!m_clock.manual()) {
        next.at = m_schedule.nextFrameAt();
    }
    return next;
}

}  // namespace boardsim
