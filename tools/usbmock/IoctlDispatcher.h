// umockdev's ioctl handler for the emulated usbdevfs nodes: decodes each USBDEVFS_* request and
// answers it for the board attachment behind the node, as the kernel's usbdevfs would.
//
//   GET_CAPABILITIES       scatter-gather bulk, no packet size limit, reap after disconnect,
//                          zero-length packets
//   CLAIMINTERFACE, RELEASEINTERFACE, DISCONNECT_CLAIM, SETINTERFACE, SETCONFIGURATION
//                          interface 0, alternate setting 0, configuration 1 only (EINVAL)
//   GETDRIVER              ENODATA (no kernel driver is bound); IOCTL (driver connect and
//                          disconnect) succeeds
//   SUBMITURB              queued on the endpoint's worker (ENOENT for an endpoint the board
//                          does not have, EINVAL for an isochronous transfer or a control
//                          transfer without its setup); DISCARDURB; REAPURB and
//                          REAPURBNDELAY (ClientUrbs)
//   CONTROL                a synchronous control request with its time-out
//   CLEAR_HALT             the board's halt cleared; RESET, RESETEP succeed
//   CONNECTINFO, GET_SPEED the device number, high speed
//   anything else          ENOTTY
// A node whose attachment ended answers ENODEV to everything, except that finished transfers can
// still be reaped.
//
// Runs on umockdev's server thread; transfers finish on the endpoint workers.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "BoardPort.h"
#include "ClientUrbs.h"

typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;

namespace usbmock {

class IoctlDispatcher {
public:
    // The attachment behind a device node, gone or not; null for a node the bridge never made.
    using PortLookup = std::function<std::shared_ptr<BoardPort>(const std::string& devNode)>;

    explicit IoctlDispatcher(PortLookup lookup);
    ~IoctlDispatcher();
    IoctlDispatcher(const IoctlDispatcher&) = delete;
    IoctlDispatcher& operator=(const IoctlDispatcher&) = delete;

    // The handler to attach to the nodes.
    UMockdevIoctlBase* handler() const { return m_handler; }

private:
    PortLookup m_lookup;
    UMockdevIoctlBase* m_handler = nullptr;
    std::mutex m_mutex;
    // Per client (one open file); umockdev does not tell when a file is closed, so they stay
    // until the dispatcher ends, each holding a reference to its client.
    std::map<UMockdevIoctlClient*, std::shared_ptr<ClientUrbs>> m_clients;

    void handle(UMockdevIoctlClient* client);
    std::shared_ptr<ClientUrbs> clientUrbs(UMockdevIoctlClient* client,
                                           const std::shared_ptr<BoardPort>& port);
    void submit(UMockdevIoctlClient* client, BoardPort& port, ClientUrbs& urbs);
    void discard(UMockdevIoctlClient* client, BoardPort& port, ClientUrbs& urbs);
    void control(UMockdevIoctlClient* client, BoardPort& port);
};

}  // namespace usbmock
