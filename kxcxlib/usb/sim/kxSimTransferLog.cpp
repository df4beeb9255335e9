#include "kxSimTransferLog.h"

namespace kx {

void SimTransferLog::add(SimTransfer transfer) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (transfer.kind == SimTransfer::Kind::Control) {
        ++m_controlCount;
    }
    if (m_records.size() >= kCapacity) {
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
