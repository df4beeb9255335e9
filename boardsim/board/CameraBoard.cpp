#include "CameraBoard.h"

#include <cerrno>

namespace boardsim {

namespace {

// Endpoint addresses of the board's controller.
constexpr uint8_t kBulkIn = 0x86;
constexpr uint8_t kBulkOut = 0x02;
constexpr uint8_t kInterruptIn = 0x81;
constexpr uint8_t kInterruptOut = 0x01;

}  // namespace

CameraBoard::CameraBoard(const BoardConfig& config, int number)
    : m_config(config),
      m_path(std::string("sim:") + config.model->label + ":" + std::to_string(number)),
      m_mfgEeprom(256, 1),
      m_bootEeprom(16384, 2),
      m_controller(m_bus, config.mcuVersion) {
    m_bus.attach(kAddressMfgEeprom, &m_mfgEeprom);
    m_bus.attach(kAddressBootEeprom, &m_bootEeprom);
}

CameraBoard::~CameraBoard() = default;

bool CameraBoard::plugged() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_plugged;
}

void CameraBoard::setPlugged(bool plugged) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_plugged = plugged;
}

std::vector<EndpointInfo> CameraBoard::endpoints() const {
    std::vector<EndpointInfo> list = {
        {kBulkIn, TransferType::Bulk, 512},
        {kBulkOut, TransferType::Bulk, 512},
    };
    if (m_config.pipes == PipeSet::All) {
        list.push_back({kInterruptIn, TransferType::Interrupt, 64});
        list.push_back({kInterruptOut, TransferType::Interrupt, 64});
    }
    return list;
}

int CameraBoard::handleControl(const SetupPacket& setup, uint8_t* data) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_plugged) {
        return -ENODEV;
    }
    if (!setup.isVendor()) {
        return -EPIPE;
    }
    return m_controller.handleVendor(setup, data);
}

}  // namespace boardsim
