#include "CameraBoard.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <thread>

#include "EepromImages.h"
#include "chips/Pca9530.h"
#include "chips/Pca9633.h"

namespace boardsim {

namespace {

// ADC inputs in volts, AIN0 to AIN3.
constexpr double kAdcInputs[] = {5.0 / 2, 3.3, 1.8, 1.2};
// The controller firmware's ADC set-up: AIN0 against ground, +-4.096 V, continuous.
constexpr uint8_t kAdcStartupConfig[] = {0x42, 0x83};

constexpr double kAmbientCelsius = 24.0;
constexpr double kWarmUpCelsius = 14.0;
constexpr double kWarmUpSeconds = 600.0;

// PCA9633 outputs of the lamp and of the lamp supply switch.
constexpr int kLampOutput = 2;
constexpr int kSupplyOutput = 1;

std::vector<EndpointInfo> makeEndpoints(PipeSet pipes) {
    std::vector<EndpointInfo> list = {
        {CameraBoard::kBulkIn, TransferType::Bulk, 512},
        {CameraBoard::kBulkOut, TransferType::Bulk, 512},
    };
    if (pipes == PipeSet::All) {
        list.push_back({CameraBoard::kInterruptIn, TransferType::Interrupt, 64});
        list.push_back({CameraBoard::kInterruptOut, TransferType::Interrupt, 64});
    }
    return list;
}

std::unique_ptr<LedController> makeLedController(LedChip chip) {
    if (chip == LedChip::Pca9530) {
        return std::make_unique<Pca9530>();
    }
    return std::make_unique<Pca9633>();
}

}  // namespace

CameraBoard::CameraBoard(const BoardConfig& config, int number)
    : m_config(config),
      m_path(std::string("sim:") + config.model->label + ":" + std::to_string(number)),
      m_endpoints(makeEndpoints(config.pipes)),
      m_poweredSince(std::chrono::steady_clock::now()),
      m_mfgEeprom(256, 1),
      m_bootEeprom(16384, 2),
      m_fpga(config.fpgaMajor, config.fpgaMinor),
      m_led(makeLedController(config.ledChip)),
      m_thermometer(
          [this] { return boardTemperature(std::chrono::steady_clock::now() - m_poweredSince); }),
      m_controller(m_bus, m_bulkIn, config.mcuVersion),
      m_frames(
          config,
          FrameSource::Parts{m_fpga, m_sensor, m_controller, m_bulkIn, [this] { return m_lamp; }},
          m_mutex),
      m_ports(config, m_fpga, m_bulkIn) {
    m_mfgEeprom.load(0, EepromImages::manufacturingRecord(config, number));
    m_bootEeprom.load(0, EepromImages::bootImage(config));
    for (int n = 0; n < Ads1015::kInputCount; ++n) {
        m_adc.setInput(n, kAdcInputs[n]);
    }
    m_bus.attach(kAddressSensor, &m_sensor);
    m_bus.attach(kAddressFpga, &m_fpga);
    m_bus.attach(kAddressAdc, &m_adc);
    m_bus.attach(kAddressTemperature, &m_thermometer);
    m_bus.attach(kAddressBootEeprom, &m_bootEeprom);
    m_bus.attach(kAddressMfgEeprom, &m_mfgEeprom);
    m_bus.attach(ledAddress(), m_led.get());
    for (uint8_t address : config.nackAddresses) {
        m_bus.setNack(address, true);
    }
    m_controlTimeouts = config.controlTimeouts;
    std::lock_guard<std::mutex> lock(m_mutex);
    powerOn();
    m_bulkIn.setHalted(config.bulkInStalled);
}

CameraBoard::~CameraBoard() = default;

void CameraBoard::powerOn() {
    m_poweredSince = std::chrono::steady_clock::now();
    m_fpga.reset();
    m_ports.powerOn();
    m_sensor.reset();
    m_led->reset();
    m_thermometer.reset();
    m_adc.reset();
    m_controller.powerOn();
    m_controller.boot(m_bootEeprom.contents());
    m_controller.writeI2c(kAddressAdc, Ads1015::kRegConfig, false, kAdcStartupConfig,
                          sizeof(kAdcStartupConfig));
    updateLamp();
    m_frames.powerOn();
}

bool CameraBoard::plugged() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_plugged;
}

uint64_t CameraBoard::attachment() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_attachment;
}

void CameraBoard::setPlugged(bool plugged) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (plugged && !m_plugged) {
            powerOn();
            ++m_attachment;
        } else if (!plugged && m_plugged) {
            m_frames.unplugged();
        }
        m_plugged = plugged;
    }
    m_bulkIn.setPresent(plugged);
    m_nak.setPresent(plugged);
}

void CameraBoard::setReenumerationHandler(ReenumerationHandler handler) {
    std::lock_guard<std::mutex> lock(m_handlerMutex);
    m_reenumerationHandler = std::move(handler);
}

void CameraBoard::reenumerate() {
    ReenumerationHandler handler;
    {
        std::lock_guard<std::mutex> lock(m_handlerMutex);
        handler = m_reenumerationHandler;
    }
    if (handler) {
        handler(m_path);
        return;
    }
    leaveBus();
    rejoinBus();
}

void CameraBoard::leaveBus() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_plugged) {
            return;
        }
        m_frames.unplugged();
        m_plugged = false;
    }
    m_bulkIn.setPresent(false);
    m_nak.setPresent(false);
}

void CameraBoard::rejoinBus() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_plugged) {
            return;
        }
        m_controller.powerOn();
        ++m_attachment;
        m_plugged = true;
    }
    m_bulkIn.setPresent(true);
    m_nak.setPresent(true);
}

const std::vector<EndpointInfo>& CameraBoard::endpoints() const {
    return m_endpoints;
}

int CameraBoard::handleControl(const SetupPacket& setup, uint8_t* data) {
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_plugged) {
            return -ENODEV;
        }
        if (m_controlTimeouts == 0) {
            if (!setup.isVendor()) {
                return -EPIPE;
            }
            if (!m_controller.ram().cpuHeld() || setup.request == UsbController::kRequestRamLoad) {
                m_frames.advance();
                const int result = vendorRequest(setup, data);
                if (setup.request == UsbController::kRequestI2c && !setup.isIn() &&
                    (setup.index & 0x7F) == ledAddress()) {
                    updateLamp();
                }
                m_frames.settle();
                const bool restart = m_controller.takeRestart();
                lock.unlock();
                if (restart) {
                    reenumerate();
                }
                return result;
            }
            // The CPU is held in reset: no firmware answers the request.
        } else if (m_controlTimeouts > 0) {
            --m_controlTimeouts;
        }
    }
    std::this_thread::sleep_for(kControlTimeoutDelay);
    return -ETIMEDOUT;
}

int CameraBoard::vendorRequest(const SetupPacket& setup, uint8_t* data) {
    if (setup.request == JtagTap::kRequest) {
        return m_ports.jtag(setup, data);
    }
    const int result = m_controller.handleVendor(setup, data);
    if (setup.request == UsbController::kRequestSpeed0 && result >= 0) {
        m_ports.endFlashProgramming();
    }
    return result;
}

bool CameraBoard::hasEndpoint(uint8_t endpoint) const {
    for (const EndpointInfo& info : endpoints()) {
        if (info.address == endpoint) {
            return true;
        }
    }
    return false;
}

void CameraBoard::setInterruptOutHandler(OutHandler handler) {
    std::lock_guard<std::mutex> lock(m_handlerMutex);
    m_interruptOutHandler = std::move(handler);
}

void CameraBoard::setBulkOutHandler(OutHandler handler) {
    std::lock_guard<std::mutex> lock(m_handlerMutex);
    m_bulkOutHandler = std::move(handler);
}

int CameraBoard::handleData(uint8_t endpoint, uint8_t* data, uint32_t length,
                            std::chrono::milliseconds timeout) {
    if (!hasEndpoint(endpoint)) {
        return plugged() ? -EINVAL : -ENODEV;
    }
    bool cpuHeld = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_plugged) {
            return -ENODEV;
        }
        cpuHeld = m_controller.ram().cpuHeld();
    }
    if (cpuHeld) {
        // The data pipes are the firmware's work.
        return m_nak.wait(endpoint, timeout);
    }
    switch (endpoint) {
        case kBulkIn: {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_plugged) {
                    m_frames.advance();
                    m_frames.beforeBulkRead();
                }
            }
            return m_bulkIn.read(data, length, timeout);
        }
        case kInterruptIn: {
            uint32_t value = 0;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_frames.advance();
                value = m_pinnedInterruptIn ? *m_pinnedInterruptIn : m_frames.hostFrameCounter();
            }
            const uint32_t count = std::min<uint32_t>(length, 4);
            for (uint32_t i = 0; i < count; ++i) {
                data[i] = static_cast<uint8_t>(value >> (8 * i));
            }
            return static_cast<int>(count);
        }
        default: {
            bool taken = true;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_plugged && endpoint == kInterruptOut) {
                    m_frames.advance();
                    m_frames.interruptOut(data, length);
                } else if (m_plugged) {
                    taken = m_ports.bulkOut(data, length);
                }
            }
            if (!taken) {
                // Nobody drains the FPGA's FIFO: the controller cannot take the bytes.
                return m_nak.wait(endpoint, timeout);
            }
            std::lock_guard<std::mutex> lock(m_handlerMutex);
            const OutHandler& handler =
                endpoint == kInterruptOut ? m_interruptOutHandler : m_bulkOutHandler;
            if (handler) {
                handler(data, length);
            }
            return static_cast<int>(length);
        }
    }
}

void CameraBoard::cancelData(uint8_t endpoint) {
    if (endpoint == kBulkIn) {
        m_bulkIn.cancel();
    }
    m_nak.cancel(endpoint);
}

int CameraBoard::clearHalt(uint8_t endpoint) {
    if (!plugged()) {
        return -ENODEV;
    }
    if (!hasEndpoint(endpoint)) {
        return -EINVAL;
    }
    if (endpoint == kBulkIn) {
        m_bulkIn.setHalted(false);
    }
    return 0;
}

bool CameraBoard::pressButton(int button) {
    if (button < 0 || button >= FpgaRegisterFile::kButtonCount) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fpga.setButtonsHeld(static_cast<uint8_t>(m_fpga.buttonsHeld() | 1u << button));
    return true;
}

bool CameraBoard::releaseButton(int button) {
    if (button < 0 || button >= FpgaRegisterFile::kButtonCount) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fpga.setButtonsHeld(static_cast<uint8_t>(m_fpga.buttonsHeld() & ~(1u << button)));
    return true;
}

uint8_t CameraBoard::buttonsHeld() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_fpga.buttonsHeld();
}

void CameraBoard::setControlTimeouts(int count) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_controlTimeouts = std::max(count, kUntilCleared);
}

int CameraBoard::controlTimeouts() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_controlTimeouts;
}

void CameraBoard::setI2cNack(uint8_t address, bool nack) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bus.setNack(address, nack);
}

bool CameraBoard::i2cNack(uint8_t address) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bus.nacks(address);
}

void CameraBoard::setBulkInStalled(bool stalled) {
    m_bulkIn.setHalted(stalled);
}

bool CameraBoard::bulkInStalled() const {
    return m_bulkIn.halted();
}

int CameraBoard::speedSetting() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_controller.speed();
}

uint16_t CameraBoard::acquisitionMode() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_controller.acquisitionMode();
}

uint16_t CameraBoard::fpgaVersion() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<uint16_t>(m_fpga.peek(FpgaRegisterFile::kRegVersionMajor) << 8 |
                                 m_fpga.peek(FpgaRegisterFile::kRegVersionMinor));
}

uint16_t CameraBoard::mcuVersion() const {
    return m_controller.firmwareVersion();
}

uint8_t CameraBoard::fpgaRegister(uint8_t reg) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_frames.advance();
    return m_fpga.peek(reg);
}

void CameraBoard::setFpgaRegister(uint8_t reg, uint8_t value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_frames.advance();
    m_fpga.poke(reg, value);
    m_frames.settle();
}

uint8_t CameraBoard::sensorRegister(uint16_t reg) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sensor.peek(reg);
}

void CameraBoard::setSensorRegister(uint16_t reg, uint8_t value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_frames.advance();
    m_sensor.poke(reg, value);
    m_frames.settle();
}

std::vector<LedController::Channel> CameraBoard::ledOutputs() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_led->outputs();
}

double CameraBoard::illumination() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lamp;
}

void CameraBoard::updateLamp() {
    const std::vector<LedController::Channel> outputs = m_led->outputs();
    if (m_config.ledChip == LedChip::Pca9530) {
        m_lamp = ((1.0 - outputs[0].duty) + (1.0 - outputs[1].duty)) / 2.0;
    } else {
        m_lamp = (1.0 - outputs[kLampOutput].duty) * (1.0 - outputs[kSupplyOutput].duty);
    }
}

double CameraBoard::temperature() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return boardTemperature(std::chrono::steady_clock::now() - m_poweredSince);
}

double CameraBoard::boardTemperature(std::chrono::duration<double> powered) {
    const double seconds = std::max(powered.count(), 0.0);
    return kAmbientCelsius + kWarmUpCelsius * (1.0 - std::exp(-seconds / kWarmUpSeconds));
}

void CameraBoard::countFrameProduced() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_controller.countFrameProduced();
}

void CameraBoard::countFrameSent() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_controller.countFrameSent();
}

}  // namespace boardsim

namespace boardsim {

void CameraBoard::setInterruptInValue(uint32_t value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pinnedInterruptIn = value;
}

void CameraBoard::clearInterruptInValue() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pinnedInterruptIn.reset();
}

uint64_t CameraBoard::framesProduced() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_frames.advance();
    return m_frames.framesProduced();
}

uint64_t CameraBoard::framesDropped() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frames.framesDropped();
}

bool CameraBoard::streaming() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frames.streaming();
}

void CameraBoard::useManualClock() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_frames.advance();
    m_frames.clock().setManual();
}

void CameraBoard::advanceClock(std::chrono::nanoseconds step) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_frames.clock().advance(step);
    m_frames.clockAdvanced();
}

PictureSettings CameraBoard::pictureSettings() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frames.pictureSettings();
}

bool CameraBoard::setGammaTable(int slot, std::span<const uint16_t> entries) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_fpga.setGammaTable(slot, entries);
}

}  // namespace boardsim

namespace boardsim {

std::vector<uint8_t> CameraBoard::gammaSlot(int n) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (n < 0 || n >= GammaPort::kSlots) {
        return {};
    }
    return m_ports.gamma().slot(n);
}

std::vector<uint8_t> CameraBoard::flashContents() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ports.flash().contents();
}

uint8_t CameraBoard::flashStatus() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ports.flash().status();
}

bool CameraBoard::fpgaDone() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ports.tap().done();
}

void CameraBoard::setFpgaBusy(bool busy) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ports.setBusy(busy);
}

bool CameraBoard::fpgaBusy() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ports.busy();
}

void CameraBoard::setFpgaNotReady(bool notReady) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ports.setNotReady(notReady);
}

bool CameraBoard::fpgaNotReady() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ports.notReady();
}

void CameraBoard::setJtagStalled(bool stalled) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ports.setJtagStalled(stalled);
}

bool CameraBoard::jtagStalled() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ports.jtagStalled();
}

void CameraBoard::setMemoryFault(bool fault) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ports.setMemoryFault(fault);
}

bool CameraBoard::memoryFault() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ports.memoryFault();
}

bool CameraBoard::cpuHeld() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_controller.ram().cpuHeld();
}

}  // namespace boardsim

namespace boardsim {

std::vector<uint8_t> CameraBoard::controllerRam() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_controller.ram().ram();
}

std::vector<uint8_t> CameraBoard::bootEeprom() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bootEeprom.contents();
}

}  // namespace boardsim
