// One transfer a client asked for, from its submission until the client has it back: what it asks
// of the board (type, endpoint, setup and OUT data, in a copy of its own), whether it was
// discarded, and its result.
//
// The client's memory (umockdev's resolved copies) is touched only by create and writeBack, on
// umockdev's server thread; the endpoint workers work on the Urb's own bytes.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "usb/SetupPacket.h"

typedef struct _UMockdevIoctlData UMockdevIoctlData;

namespace usbmock {

class Urb : public std::enable_shared_from_this<Urb> {
public:
    // USBDEVFS_URB_TYPE_*
    static constexpr uint8_t kControl = 2;

    // A submitted struct usbdevfs_urb: urb is its resolved copy, buffer the resolved buffer (null
    // when it has none). Both are kept until the Urb ends.
    static std::shared_ptr<Urb> submitted(UMockdevIoctlData* urb, UMockdevIoctlData* buffer);
    // A synchronous control request (USBDEVFS_CONTROL): data is its resolved data stage (or
    // null), timeout its NAK limit.
    static std::shared_ptr<Urb> control(const boardsim::SetupPacket& setup, UMockdevIoctlData* data,
                                        std::chrono::milliseconds timeout);
    ~Urb();
    Urb(const Urb&) = delete;
    Urb& operator=(const Urb&) = delete;

    uint8_t type() const { return m_type; }
    // 0 for a control transfer.
    uint8_t endpoint() const { return m_endpoint; }
    // The setup stage of a control transfer.
    boardsim::SetupPacket setup() const;
    // The data stage: OUT data, or room for the IN data.
    uint8_t* data() { return m_bytes.data() + m_dataOffset; }
    uint32_t length() const { return static_cast<uint32_t>(m_bytes.size() - m_dataOffset); }
    // The address of the struct usbdevfs_urb in the client (DISCARDURB names it); 0 for control.
    unsigned long clientAddress() const;
    // How long a NAK may last before the transfer times out; zero: until it is discarded.
    std::chrono::milliseconds nakLimit() const { return m_nakLimit; }

    // Discarded by the client (set on the server thread, seen by the worker).
    void discard() { m_discarded = true; }
    bool discarded() const { return m_discarded; }

    // Told once when the transfer is done, on the thread that ends it.
    void setOnDone(std::function<void(Urb&)> onDone) { m_onDone = std::move(onDone); }
    // The worker's result: status 0 or a negative errno, the bytes transferred.
    void finish(int status, int actual);
    int status() const { return m_status; }
    int actual() const { return m_actual; }

    // On the server thread: copies the result (status, length, IN data) into the client's
    // resolved copies, which umockdev writes back when the ioctl that hands them over completes.
    void writeBack();
    // The resolved struct usbdevfs_urb (null for control).
    UMockdevIoctlData* urbData() const { return m_urb; }

private:
    Urb() = default;

    UMockdevIoctlData* m_urb = nullptr;
    UMockdevIoctlData* m_buffer = nullptr;
    uint8_t m_type = kControl;
    uint8_t m_endpoint = 0;
    std::vector<uint8_t> m_bytes;
    std::size_t m_dataOffset = 0;  // where the data stage starts in m_bytes
    std::size_t m_bufferSkip = 0;  // the bytes of m_bytes before the resolved buffer's
    std::chrono::milliseconds m_nakLimit{0};
    std::atomic<bool> m_discarded{false};
    std::function<void(Urb&)> m_onDone;
    int m_status = 0;
    int m_actual = 0;
};

}  // namespace usbmock
