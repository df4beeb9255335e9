#include "usb/kxTransportNotice.h"

#include <mutex>
#include <utility>

namespace kx {

namespace {

// Never destroyed: a backend thread may still post while the process ends.
std::mutex& sinkMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

TransportNotice::Sink& sink() {
    static auto* current = new TransportNotice::Sink;
    return *current;
}

}  // namespace

void TransportNotice::setSink(Sink replacement) {
    std::lock_guard<std::mutex> lock(sinkMutex());
    sink() = std::move(replacement);
}

void TransportNotice::post(const std::string& text) {
    std::lock_guard<std::mutex> lock(sinkMutex());
    if (sink()) {
        sink()(text);
    }
}

}  // namespace kx
