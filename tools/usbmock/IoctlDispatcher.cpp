#include "IoctlDispatcher.h"

#include <linux/usb/ch9.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <umockdev.h>

#include <cerrno>
#include <cstring>

namespace usbmock {

namespace {

constexpr unsigned int kCapabilities =
    USBDEVFS_CAP_BULK_SCATTER_GATHER | USBDEVFS_CAP_BULK_CONTINUATION |
    USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT | USBDEVFS_CAP_ZERO_PACKET;

void complete(UMockdevIoctlClient* client, int negativeErrno) {
    if (negativeErrno < 0) {
        umockdev_ioctl_client_complete(client, -1, -negativeErrno);
    } else {
        umockdev_ioctl_client_complete(client, negativeErrno, 0);
    }
}

// The client's memory the ioctl argument points to, resolved; the caller unrefs it.
UMockdevIoctlData* argument(UMockdevIoctlClient* client, std::size_t length) {
    return umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, length, nullptr);
}

// The first unsigned int the argument points to (an interface or endpoint number).
unsigned int firstNumber(UMockdevIoctlClient* client) {
    UMockdevIoctlData* data = argument(client, sizeof(unsigned int));
    unsigned int value = 0;
    std::memcpy(&value, data->data, sizeof value);
    umockdev_ioctl_data_unref(data);
    return value;
}

// Fills the struct the argument points to.
template <typename T>
void answerWith(UMockdevIoctlClient* client, const T& value) {
    UMockdevIoctlData* data = argument(client, sizeof(T));
    std::memcpy(data->data, &value, sizeof(T));
    umockdev_ioctl_data_unref(data);
    umockdev_ioctl_client_complete(client, 0, 0);
}

}  // namespace

IoctlDispatcher::IoctlDispatcher(PortLookup lookup)
    : m_lookup(std::move(lookup)), m_handler(umockdev_ioctl_base_new()) {
    g_signal_connect(
        m_handler, "handle-ioctl",
        G_CALLBACK(+[](UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) -> gboolean {
            static_cast<IoctlDispatcher*>(self)->handle(client);
            return TRUE;
        }),
        this);
}

IoctlDispatcher::~IoctlDispatcher() {
    g_signal_handlers_disconnect_by_data(m_handler, this);
    for (auto& [client, urbs] : m_clients) {
        urbs.reset();
        g_object_unref(client);
    }
    g_object_unref(m_handler);
}

std::shared_ptr<ClientUrbs> IoctlDispatcher::clientUrbs(UMockdevIoctlClient* client,
                                                        const std::shared_ptr<BoardPort>& port) {
    std::lock_guard lock(m_mutex);
    auto& urbs = m_clients[client];
    if (!urbs) {
        g_object_ref(client);
        GMainContext* server = g_main_context_ref_thread_default();
        std::weak_ptr<BoardPort> weak = port;
        urbs = std::make_shared<ClientUrbs>(server, [weak] {
            const auto port = weak.lock();
            return !port || port->gone();
        });
        g_main_context_unref(server);
    }
    return urbs;
}

void IoctlDispatcher::handle(UMockdevIoctlClient* client) {
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    const std::shared_ptr<BoardPort> port = m_lookup(umockdev_ioctl_client_get_devnode(client));
    if (!port) {
        complete(client, -ENODEV);
        return;
    }
    const std::shared_ptr<ClientUrbs> urbs = clientUrbs(client, port);
    if (request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY) {
        urbs->reap(client, request == USBDEVFS_REAPURB);
        return;
    }
    urbs->touch();
    if (port->gone()) {
        complete(client, -ENODEV);
        return;
    }
    switch (request) {
        case USBDEVFS_GET_CAPABILITIES:
            answerWith(client, kCapabilities);
            return;
        case USBDEVFS_CLAIMINTERFACE:
        case USBDEVFS_RELEASEINTERFACE:
        case USBDEVFS_DISCONNECT_CLAIM:  // its struct starts with the interface number
            complete(client, firstNumber(client) == 0 ? 0 : -EINVAL);
            return;
        case USBDEVFS_SETINTERFACE: {
            UMockdevIoctlData* data = argument(client, sizeof(usbdevfs_setinterface));
            usbdevfs_setinterface setting{};
            std::memcpy(&setting, data->data, sizeof setting);
            umockdev_ioctl_data_unref(data);
            complete(client, setting.interface == 0 && setting.altsetting == 0 ? 0 : -EINVAL);
            return;
        }
        case USBDEVFS_SETCONFIGURATION:
            complete(client, firstNumber(client) == 1 ? 0 : -EINVAL);
            return;
        case USBDEVFS_GETDRIVER:
            complete(client, -ENODATA);
            return;
        case USBDEVFS_IOCTL:
        case USBDEVFS_RESET:
        case USBDEVFS_RESETEP:
            complete(client, 0);
            return;
        case USBDEVFS_CLEAR_HALT:
            complete(client, port->clearHalt(static_cast<uint8_t>(firstNumber(client))));
            return;
        case USBDEVFS_CONNECTINFO: {
            usbdevfs_connectinfo info{};
            info.devnum = static_cast<unsigned int>(port->devnum());
            answerWith(client, info);
            return;
        }
        case USBDEVFS_GET_SPEED:
            complete(client, USB_SPEED_HIGH);
            return;
        case USBDEVFS_SUBMITURB:
            submit(client, *port, *urbs);
            return;
        case USBDEVFS_DISCARDURB:
            discard(client, *port, *urbs);
            return;
        case USBDEVFS_CONTROL:
            control(client, *port);
            return;
        default:
            complete(client, -ENOTTY);
            return;
    }
}

void IoctlDispatcher::submit(UMockdevIoctlClient* client, BoardPort& port, ClientUrbs& urbs) {
    UMockdevIoctlData* urbData = argument(client, sizeof(usbdevfs_urb));
    const auto* raw = reinterpret_cast<const usbdevfs_urb*>(urbData->data);
    const uint8_t endpoint = raw->type == Urb::kControl ? 0 : raw->endpoint;
    EndpointWorker* worker = port.worker(endpoint);
    // A control transfer carries its setup stage in the buffer's first 8 bytes.
    const int least = raw->type == Urb::kControl ? 8 : 0;
    if (worker == nullptr || raw->buffer_length < least || raw->type == USBDEVFS_URB_TYPE_ISO) {
        umockdev_ioctl_data_unref(urbData);
        complete(client, worker == nullptr ? -ENOENT : -EINVAL);
        return;
    }
    UMockdevIoctlData* buffer = nullptr;
    if (raw->buffer_length > 0) {
        buffer = umockdev_ioctl_data_resolve(urbData, G_STRUCT_OFFSET(usbdevfs_urb, buffer),
                                             static_cast<gsize>(raw->buffer_length), nullptr);
    }
    const std::shared_ptr<Urb> urb = Urb::submitted(urbData, buffer);
    if (buffer != nullptr) {
        umockdev_ioctl_data_unref(buffer);
    }
    umockdev_ioctl_data_unref(urbData);
    urbs.submitted(urb);
    worker->submit(urb);
    complete(client, 0);
}

void IoctlDispatcher::discard(UMockdevIoctlClient* client, BoardPort& port, ClientUrbs& urbs) {
    unsigned long address = 0;
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    std::memcpy(&address, arg->data, sizeof address);
    const std::shared_ptr<Urb> urb = urbs.find(address);
    EndpointWorker* worker = urb ? port.worker(urb->endpoint()) : nullptr;
    complete(client, worker != nullptr && worker->discard(urb) ? 0 : -EINVAL);
}

void IoctlDispatcher::control(UMockdevIoctlClient* client, BoardPort& port) {
    UMockdevIoctlData* request = argument(client, sizeof(usbdevfs_ctrltransfer));
    usbdevfs_ctrltransfer transfer{};
    std::memcpy(&transfer, request->data, sizeof transfer);
    boardsim::SetupPacket setup;
    setup.requestType = transfer.bRequestType;
    setup.request = transfer.bRequest;
    setup.value = transfer.wValue;
    setup.index = transfer.wIndex;
    setup.length = transfer.wLength;
    UMockdevIoctlData* data = nullptr;
    if (transfer.wLength > 0) {
        data = umockdev_ioctl_data_resolve(request, G_STRUCT_OFFSET(usbdevfs_ctrltransfer, data),
                                           transfer.wLength, nullptr);
    }
    const auto urb = Urb::control(setup, data, std::chrono::milliseconds(transfer.timeout));
    if (data != nullptr) {
        umockdev_ioctl_data_unref(data);
    }
    // The request's memory stays resolved until the ioctl completes: the reference goes with it.
    g_object_ref(client);
    urb->setOnDone([client, request](Urb& done) {
        done.writeBack();
        complete(client, done.status() == 0 ? done.actual() : done.status());
        umockdev_ioctl_data_unref(request);
        g_object_unref(client);
    });
    port.worker(0)->submit(urb);
}

}  // namespace usbmock
