#include "Urb.h"

#include <linux/usbdevice_fs.h>
#include <umockdev.h>

#include <algorithm>
#include <cstring>

namespace usbmock {

namespace {

constexpr std::size_t kSetupLength = 8;

UMockdevIoctlData* keep(UMockdevIoctlData* data) {
    return data != nullptr ? umockdev_ioctl_data_ref(data) : nullptr;
}

}  // namespace

std::shared_ptr<Urb> Urb::submitted(UMockdevIoctlData* urb, UMockdevIoctlData* buffer) {
    std::shared_ptr<Urb> result(new Urb());
    const auto* raw = reinterpret_cast<const usbdevfs_urb*>(urb->data);
    result->m_urb = keep(urb);
    result->m_buffer = keep(buffer);
    result->m_type = raw->type;
    result->m_endpoint = raw->type == kControl ? 0 : raw->endpoint;
    if (buffer != nullptr) {
        result->m_bytes.assign(buffer->data, buffer->data + buffer->data_len);
    }
    if (raw->type == kControl) {
        result->m_dataOffset = std::min(kSetupLength, result->m_bytes.size());
    }
    return result;
}

std::shared_ptr<Urb> Urb::control(const boardsim::SetupPacket& setup, UMockdevIoctlData* data,
                                  std::chrono::milliseconds timeout) {
    std::shared_ptr<Urb> result(new Urb());
    result->m_buffer = keep(data);
    result->m_bytes = {setup.requestType,
                       setup.request,
                       static_cast<uint8_t>(setup.value & 0xFF),
                       static_cast<uint8_t>(setup.value >> 8),
                       static_cast<uint8_t>(setup.index & 0xFF),
                       static_cast<uint8_t>(setup.index >> 8),
                       static_cast<uint8_t>(setup.length & 0xFF),
                       static_cast<uint8_t>(setup.length >> 8)};
    result->m_bytes.resize(kSetupLength + setup.length);
    if (data != nullptr) {
        std::memcpy(result->m_bytes.data() + kSetupLength, data->data,
                    std::min<std::size_t>(setup.length, static_cast<std::size_t>(data->data_len)));
    }
    result->m_dataOffset = kSetupLength;
    result->m_bufferSkip = kSetupLength;
    result->m_nakLimit = timeout;
    return result;
}

Urb::~Urb() {
    if (m_buffer != nullptr) {
        umockdev_ioctl_data_unref(m_buffer);
    }
    if (m_urb != nullptr) {
        umockdev_ioctl_data_unref(m_urb);
    }
}

boardsim::SetupPacket Urb::setup() const {
    boardsim::SetupPacket setup;
    if (m_bytes.size() >= kSetupLength) {
        setup.requestType = m_bytes[0];
        setup.request = m_bytes[1];
        setup.value = static_cast<uint16_t>(m_bytes[2] | m_bytes[3] << 8);
        setup.index = static_cast<uint16_t>(m_bytes[4] | m_bytes[5] << 8);
        // The data stage the client gave room for, whatever the setup claims.
        setup.length = static_cast<uint16_t>(
            std::min<std::size_t>(m_bytes[6] | m_bytes[7] << 8, m_bytes.size() - kSetupLength));
    }
    return setup;
}

unsigned long Urb::clientAddress() const {
    return m_urb != nullptr ? m_urb->client_addr : 0;
}

void Urb::finish(int status, int actual) {
    m_status = status;
    m_actual = std::clamp(actual, 0, static_cast<int>(length()));
    if (m_onDone) {
        m_onDone(*this);
    }
}

void Urb::writeBack() {
    if (m_urb != nullptr) {
        auto* raw = reinterpret_cast<usbdevfs_urb*>(m_urb->data);
        raw->status = m_status;
        raw->actual_length = m_actual;
    }
    if (m_buffer != nullptr && m_bytes.size() > m_bufferSkip) {
        const std::size_t count = std::min<std::size_t>(
            m_bytes.size() - m_bufferSkip, static_cast<std::size_t>(m_buffer->data_len));
        std::memcpy(m_buffer->data, m_bytes.data() + m_bufferSkip, count);
    }
}

}  // namespace usbmock
