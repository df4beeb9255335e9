#include "usb/libusb/kxLibusbDevice.h"

#include <libusb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>

#include "sync/kxEvent.h"
#include "usb/kxPlatformError.h"
#include "usb/libusb/kxLibusbError.h"

namespace kx {

namespace {

bool fail(int error) {
    setLastPlatformError(error);
    return false;
}

// The size field of wMaxPacketSize (bits 11 and 12 count extra transactions per microframe).
constexpr uint16_t kPacketSizeMask = 0x07FF;

const LibusbDevice::Setting* findSetting(const std::vector<LibusbDevice::Setting>& settings,
                                         uint8_t alternate) {
    const auto found =
        std::find_if(settings.begin(), settings.end(), [&](const LibusbDevice::Setting& setting) {
            return setting.info.alternateSetting == alternate;
        });
    return found != settings.end() ? &*found : nullptr;
}

std::vector<PipeInfo> pipesOfFirstSetting(const std::vector<LibusbDevice::Setting>& settings) {
    const LibusbDevice::Setting* setting = findSetting(settings, 0);
    return setting != nullptr ? setting->pipes : std::vector<PipeInfo>{};
}

}  // namespace

std::vector<LibusbDevice::Setting> LibusbDevice::interfaceSettings(
    const libusb_config_descriptor& config, uint8_t interfaceNumber) {
    std::vector<Setting> settings;
    for (int i = 0; i < config.bNumInterfaces; ++i) {
        const libusb_interface& interface = config.interface[i];
        for (int a = 0; a < interface.num_altsetting; ++a) {
            const libusb_interface_descriptor& descriptor = interface.altsetting[a];
            if (descriptor.bInterfaceNumber != interfaceNumber) {
                continue;
            }
            Setting setting;
            setting.info.interfaceNumber = descriptor.bInterfaceNumber;
            setting.info.alternateSetting = descriptor.bAlternateSetting;
            setting.info.numEndpoints = descriptor.bNumEndpoints;
            setting.info.interfaceClass = descriptor.bInterfaceClass;
            for (int e = 0; e < descriptor.bNumEndpoints; ++e) {
                const libusb_endpoint_descriptor& endpoint = descriptor.endpoint[e];
                setting.pipes.push_back(PipeInfo{
                    static_cast<PipeType>(endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK),
                    endpoint.bEndpointAddress,
                    static_cast<uint16_t>(endpoint.wMaxPacketSize & kPacketSizeMask),
                    endpoint.bInterval});
            }
            settings.push_back(std::move(setting));
        }
    }
    return settings;
}

uint8_t LibusbDevice::speedNumber(int libusbSpeed) {
    switch (libusbSpeed) {
        case LIBUSB_SPEED_LOW:
            return 1;
        case LIBUSB_SPEED_FULL:
            return 2;
        case LIBUSB_SPEED_HIGH:
            return 3;
        case LIBUSB_SPEED_SUPER:
        case LIBUSB_SPEED_SUPER_PLUS:
            return 4;
        default:
            return 0;
    }
}

LibusbDevice::LibusbDevice(libusb_device_handle* handle, std::vector<Setting> settings)
    : m_handle(handle), m_settings(std::move(settings)), m_pipes(pipesOfFirstSetting(m_settings)) {}

LibusbDevice::~LibusbDevice() {
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_closing = true;
        for (Transfer& transfer : m_transfers) {
            if (!transfer.completed) {
                libusb_cancel_transfer(transfer.transfer);
            }
        }
        // Synchronous callers remove their own record after they woke: wait for them too, so
        // none touches the device after it is gone.
        m_completed.wait(lock, [this] { return m_transfers.empty(); });
    }
    libusb_release_interface(m_handle, 0);
    libusb_close(m_handle);
}

bool LibusbDevice::querySpeed(uint8_t& speed) {
    // An unknown speed is reported as 0, not as a failure: nothing depends on it.
    speed = speedNumber(libusb_get_device_speed(libusb_get_device(m_handle)));
    return true;
}

bool LibusbDevice::queryInterfaceSettings(uint8_t alternate, InterfaceInfo& info) {
    const Setting* setting = findSetting(m_settings, alternate);
    if (setting == nullptr) {
        return fail(EINVAL);
    }
    info = setting->info;
    return true;
}

bool LibusbDevice::queryPipe(uint8_t alternate, uint8_t index, PipeInfo& info) {
    const Setting* setting = findSetting(m_settings, alternate);
    if (setting == nullptr || index >= setting->pipes.size()) {
        return fail(EINVAL);
    }
    info = setting->pipes[index];
    return true;
}

bool LibusbDevice::setPipePolicy(uint8_t pipeId, PipePolicy policy, uint32_t value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pipes.setPolicy(pipeId, policy, value) || fail(EINVAL);
}

bool LibusbDevice::resetPipe(uint8_t pipeId) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_pipes.find(pipeId) == nullptr) {
            return fail(EINVAL);
        }
    }
    const int result = libusb_clear_halt(m_handle, pipeId);
    if (result != LIBUSB_SUCCESS) {
        LibusbError::setLastError(result);
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pipes.noteCleared(pipeId);
    return true;
}

bool LibusbDevice::abortPipe(uint8_t pipeId) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (pipeId != 0 && m_pipes.find(pipeId) == nullptr) {
        return fail(EINVAL);
    }
    for (Transfer& transfer : m_transfers) {
        if (transfer.pipeId == pipeId && !transfer.completed) {
            // LIBUSB_ERROR_NOT_FOUND: it is completing already; its callback comes anyway.
            libusb_cancel_transfer(transfer.transfer);
        }
    }
    if (!m_completed.wait_for(lock, std::chrono::milliseconds(kAbortWaitMs),
                              [&] { return !inFlightLocked(pipeId, false); })) {
        return fail(ETIMEDOUT);
    }
    return true;
}

bool LibusbDevice::controlTransfer(const ControlSetup& setup, uint8_t* data,
                                   uint32_t& transferred) {
    transferred = 0;
    if (setup.length > 0 && data == nullptr) {
        return fail(EINVAL);
    }
    std::vector<uint8_t> buffer(LIBUSB_CONTROL_SETUP_SIZE + setup.length);
    libusb_fill_control_setup(buffer.data(), setup.requestType, setup.request, setup.value,
                              setup.index, setup.length);
    const bool in = (setup.requestType & LIBUSB_ENDPOINT_IN) != 0;
    if (!in && setup.length > 0) {
        std::memcpy(buffer.data() + LIBUSB_CONTROL_SETUP_SIZE, data, setup.length);
    }
    uint32_t moved = 0;
    const bool ok = runSynchronous(0, LIBUSB_TRANSFER_TYPE_CONTROL, buffer.data(),
                                   static_cast<int>(buffer.size()), kControlTimeoutMs, moved);
    moved = std::min<uint32_t>(moved, setup.length);
    if (in && moved > 0) {
        std::memcpy(data, buffer.data() + LIBUSB_CONTROL_SETUP_SIZE, moved);
    }
    transferred = moved;
    return ok;
}

bool LibusbDevice::readPipe(uint8_t pipeId, uint8_t* data, uint32_t length, uint32_t& transferred) {
    transferred = 0;
    PipeInfo pipe;
    unsigned int timeoutMs = 0;
    if (!checkDataPipe(pipeId, true, data, length, pipe, timeoutMs) || !clearPendingStall(pipeId)) {
        return false;
    }
    return runSynchronous(pipeId, static_cast<unsigned char>(pipe.type), data,
                          static_cast<int>(length), timeoutMs, transferred);
}

bool LibusbDevice::writePipe(uint8_t pipeId, const uint8_t* data, uint32_t length,
                             uint32_t& transferred) {
    transferred = 0;
    PipeInfo pipe;
    unsigned int timeoutMs = 0;
    if (!checkDataPipe(pipeId, false, data, length, pipe, timeoutMs) ||
        !clearPendingStall(pipeId)) {
        return false;
    }
    // libusb's buffer is not const, but an OUT transfer only reads it.
    return runSynchronous(pipeId, static_cast<unsigned char>(pipe.type), const_cast<uint8_t*>(data),
                          static_cast<int>(length), timeoutMs, transferred);
}

bool LibusbDevice::submitRead(AsyncRead& read) {
    PipeInfo pipe;
    unsigned int timeoutMs = 0;
    if (!checkDataPipe(read.pipeId, true, read.data, read.length, pipe, timeoutMs) ||
        !clearPendingStall(read.pipeId)) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    read.ok = false;
    read.error = 0;
    read.transferred = 0;
    Transfer* submitted = nullptr;
    return submitLocked(read.pipeId, static_cast<unsigned char>(pipe.type), read.data,
                        static_cast<int>(read.length), timeoutMs, &read, submitted);
}

bool LibusbDevice::checkDataPipe(uint8_t pipeId, bool in, const uint8_t* data, uint32_t length,
                                 PipeInfo& pipe, unsigned int& timeoutMs) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const PipeInfo* found = m_pipes.find(pipeId);
    if (found == nullptr || ((pipeId & LIBUSB_ENDPOINT_IN) != 0) != in ||
        (found->type != PipeType::Bulk && found->type != PipeType::Interrupt) ||
        length > static_cast<uint32_t>(INT_MAX) || (length > 0 && data == nullptr)) {
        return fail(EINVAL);
    }
    pipe = *found;
    timeoutMs = m_pipes.timeoutMs(pipeId);
    return true;
}

bool LibusbDevice::clearPendingStall(uint8_t pipeId) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_pipes.takePendingClear(pipeId)) {
            return true;
        }
    }
    const int result = libusb_clear_halt(m_handle, pipeId);
    if (result == LIBUSB_SUCCESS) {
        return true;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pipes.noteStall(pipeId);  // the next transfer tries again
    }
    LibusbError::setLastError(result);
    return false;
}

bool LibusbDevice::submitLocked(uint8_t pipeId, unsigned char type, uint8_t* buffer, int length,
                                unsigned int timeoutMs, AsyncRead* read, Transfer*& submitted) {
    if (m_closing) {
        return fail(ECANCELED);
    }
    libusb_transfer* transfer = libusb_alloc_transfer(0);
    if (transfer == nullptr) {
        return fail(ENOMEM);
    }
    Transfer& record = m_transfers.emplace_back();
    record.device = this;
    record.transfer = transfer;
    record.pipeId = pipeId;
    record.read = read;
    transfer->dev_handle = m_handle;
    transfer->endpoint = pipeId;
    transfer->type = type;
    transfer->timeout = timeoutMs;
    transfer->buffer = buffer;
    transfer->length = length;
    transfer->callback = &LibusbDevice::onTransferDone;
    transfer->user_data = &record;
    // The callback takes m_mutex, so it cannot run before this call has returned.
    const int result = libusb_submit_transfer(transfer);
    if (result != LIBUSB_SUCCESS) {
        libusb_free_transfer(transfer);
        m_transfers.pop_back();
        LibusbError::setLastError(result);
        return false;
    }
    submitted = &record;
    return true;
}

bool LibusbDevice::runSynchronous(uint8_t pipeId, unsigned char type, uint8_t* buffer, int length,
                                  unsigned int timeoutMs, uint32_t& transferred) {
    std::unique_lock<std::mutex> lock(m_mutex);
    Transfer* record = nullptr;
    if (!submitLocked(pipeId, type, buffer, length, timeoutMs, nullptr, record)) {
        return false;
    }
    m_completed.wait(lock, [&] { return record->completed; });
    transferred = record->actualLength > 0 ? static_cast<uint32_t>(record->actualLength) : 0;
    const int error = LibusbError::transferStatusToErrno(record->status);
    m_transfers.remove_if([&](const Transfer& transfer) { return &transfer == record; });
    m_completed.notify_all();
    return error == 0 || fail(error);
}

bool LibusbDevice::inFlightLocked(uint8_t pipeId, bool all) const {
    return std::any_of(m_transfers.begin(), m_transfers.end(), [&](const Transfer& transfer) {
        return !transfer.completed && (all || transfer.pipeId == pipeId);
    });
}

void LibusbDevice::onTransferDone(libusb_transfer* transfer) {
    Transfer* record = static_cast<Transfer*>(transfer->user_data);
    LibusbDevice& device = *record->device;
    std::lock_guard<std::mutex> lock(device.m_mutex);
    record->completed = true;
    record->status = transfer->status;
    record->actualLength = transfer->actual_length;
    record->transfer = nullptr;
    libusb_free_transfer(transfer);
    if (record->status == LIBUSB_TRANSFER_STALL) {
        device.m_pipes.noteStall(record->pipeId);
    }
    if (AsyncRead* read = record->read) {
        read->error = LibusbError::transferStatusToErrno(record->status);
        read->ok = read->error == 0;
        read->transferred =
            record->actualLength > 0 ? static_cast<uint32_t>(record->actualLength) : 0;
        device.m_transfers.remove_if([&](const Transfer& entry) { return &entry == record; });
        if (read->done != nullptr) {
            read->done->set();
        }
    }
    device.m_completed.notify_all();
}

}  // namespace kx
