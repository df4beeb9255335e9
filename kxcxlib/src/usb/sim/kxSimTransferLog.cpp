#include "usb/sim/kxSimTransferLog.h"

#include <algorithm>

namespace kx {

void SimTransferLog::setCapacity(std::size_t records) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_capacity = std::max<std::size_t>(records, 1);
    while (m_records.size() > m_capacity) {
        m_records.pop_front();
    }
}

void SimTransferLog::add(SimTransfer transfer) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (transfer.kind == SimTransfer::Kind::Control) {
        ++m_controlCount;
    }
    while (!m_records.empty() && m_records.size() >= m_capacity) {
        m_records.pop_front();
    }
    m_records.push_back(std::move(transfer));
}

std::vector<SimTransfer> SimTransferLog::records() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return {m_records.begin(), m_records.end()};
}

std::vector<SimTransfer> SimTransferLog::controls() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<SimTransfer> list;
    for (const SimTransfer& record : m_records) {
        if (record.kind == SimTransfer::Kind::Control) {
            list.push_back(record);
        }
    }
    return list;
}

std::size_t SimTransferLog::controlCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_controlCount;
}

void SimTransferLog::clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_records.clear();
    m_controlCount = 0;
}

}  // namespace kx
