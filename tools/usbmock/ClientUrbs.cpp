#include "ClientUrbs.h"

#include <umockdev.h>

#include <algorithm>
#include <cerrno>

namespace usbmock {

struct ClientUrbs::Parked {
    UMockdevIoctlClient* client = nullptr;
    GSource* timer = nullptr;
    bool block = false;
};

namespace {

using Weak = std::weak_ptr<ClientUrbs>;

void deleteWeak(gpointer data) {
    delete static_cast<Weak*>(data);
}

}  // namespace

ClientUrbs::ClientUrbs(GMainContext* server, std::function<bool()> gone)
    : m_server(g_main_context_ref(server)), m_gone(std::move(gone)) {}

ClientUrbs::~ClientUrbs() {
    if (m_parked) {
        g_source_destroy(m_parked->timer);
        g_source_unref(m_parked->timer);
        g_object_unref(m_parked->client);
    }
    g_main_context_unref(m_server);
}

void ClientUrbs::submitted(const std::shared_ptr<Urb>& urb) {
    urb->setOnDone([weak = weak_from_this()](Urb& done) {
        if (auto self = weak.lock()) {
            self->finished(done);
        }
    });
    std::lock_guard lock(m_mutex);
    m_inFlight.push_back(urb);
}

void ClientUrbs::touch() {
    std::lock_guard lock(m_mutex);
    m_lastBusy = std::chrono::steady_clock::now();
}

std::shared_ptr<Urb> ClientUrbs::find(unsigned long clientAddress) const {
    std::lock_guard lock(m_mutex);
    const auto it = std::find_if(m_inFlight.begin(), m_inFlight.end(), [&](const auto& urb) {
        return urb->clientAddress() == clientAddress;
    });
    return it != m_inFlight.end() ? *it : nullptr;
}

void ClientUrbs::reap(UMockdevIoctlClient* client, bool block) {
    if (handOver(client)) {
        return;
    }
    if (allGone()) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return;
    }
    bool answerNow = false;
    {
        std::lock_guard lock(m_mutex);
        answerNow =
            !block && m_inFlight.empty() && std::chrono::steady_clock::now() - m_lastBusy < kBusy;
    }
    if (answerNow || m_parked) {
        umockdev_ioctl_client_complete(client, -1, EAGAIN);
        return;
    }
    park(client, block);
}

bool ClientUrbs::allGone() const {
    if (!m_gone()) {
        return false;
    }
    std::lock_guard lock(m_mutex);
    return m_inFlight.empty() && m_done.empty();
}

void ClientUrbs::finished(Urb& urb) {
    {
        std::lock_guard lock(m_mutex);
        const auto it = std::find_if(m_inFlight.begin(), m_inFlight.end(),
                                     [&](const auto& each) { return each.get() == &urb; });
        if (it == m_inFlight.end()) {
            return;
        }
        m_done.push_back(*it);
        m_inFlight.erase(it);
    }
    g_main_context_invoke_full(
        m_server, G_PRIORITY_DEFAULT,
        [](gpointer data) -> gboolean {
            if (auto self = static_cast<Weak*>(data)->lock()) {
                self->settleParked(false);
            }
            return G_SOURCE_REMOVE;
        },
        new Weak(weak_from_this()), deleteWeak);
}

bool ClientUrbs::handOver(UMockdevIoctlClient* client) {
    std::shared_ptr<Urb> urb;
    {
        std::lock_guard lock(m_mutex);
        if (m_done.empty()) {
            return false;
        }
        urb = std::move(m_done.front());
        m_done.pop_front();
    }
    urb->writeBack();
    UMockdevIoctlData* pointer = umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client),
                                                             0, sizeof(void*), nullptr);
    umockdev_ioctl_data_set_ptr(pointer, 0, urb->urbData());
    umockdev_ioctl_data_unref(pointer);
    umockdev_ioctl_client_complete(client, 0, 0);
    return true;
}

void ClientUrbs::park(UMockdevIoctlClient* client, bool block) {
    m_parked = std::make_unique<Parked>();
    m_parked->client = static_cast<UMockdevIoctlClient*>(g_object_ref(client));
    m_parked->block = block;
    const auto period = block ? kBlockingCheck : kPark;
    m_parked->timer = g_timeout_source_new(static_cast<guint>(period.count()));
    g_source_set_callback(
        m_parked->timer,
        [](gpointer data) -> gboolean {
            if (auto self = static_cast<Weak*>(data)->lock()) {
                self->settleParked(true);
            }
            return G_SOURCE_CONTINUE;  // settleParked destroys the source when the reap ends
        },
        new Weak(weak_from_this()), deleteWeak);
    g_source_attach(m_parked->timer, m_server);
}

void ClientUrbs::settleParked(bool timedOut) {
    if (!m_parked) {
        return;
    }
    UMockdevIoctlClient* client = m_parked->client;
    if (!handOver(client)) {
        if (allGone()) {
            umockdev_ioctl_client_complete(client, -1, ENODEV);
        } else if (timedOut && !m_parked->block) {
            umockdev_ioctl_client_complete(client, -1, EAGAIN);
        } else {
            return;
        }
    }
    const std::unique_ptr<Parked> parked = std::move(m_parked);
    g_source_destroy(parked->timer);
    g_source_unref(parked->timer);
    g_object_unref(parked->client);
}

}  // namespace usbmock
