#include "FrameSink.h"

#include <algorithm>
#include <cstring>

namespace {
std::atomic<FrameSink*> g_active{nullptr};
}

FrameSink::FrameSink(std::size_t keep) : m_keep(keep) {
    g_active = this;
}

FrameSink::~FrameSink() {
    g_active = nullptr;
}

void FrameSink::onFrame(const void* frame, int frameBytes, CamContext*) {
    FrameSink* sink = g_active;
    if (sink == nullptr || frame == nullptr || frameBytes <= 0) {
        return;
    }
    ++sink->m_count;
    const auto* bytes = static_cast<const uint8_t*>(frame);
    const auto size = static_cast<std::size_t>(frameBytes);
    std::lock_guard<std::mutex> lock(sink->m_mutex);
    const auto now = std::chrono::steady_clock::now();
    if (!sink->isNew(bytes, size)) {
        if (sink->m_stillFor.count() > 0 && now - sink->m_lastNew >= sink->m_stillFor) {
            sink->m_stoodStill = true;
            sink->m_changed.notify_all();
        }
        return;
    }
    sink->m_lastNew = now;
    ++sink->m_fresh;
    if (sink->m_frames.size() < sink->m_keep) {
        sink->m_frames.emplace_back(bytes, bytes + size);
        sink->m_changed.notify_all();
    }
}

bool FrameSink::isNew(const uint8_t* bytes, std::size_t size) {
    if (m_previous.size() == size && std::memcmp(m_previous.data(), bytes, size) == 0) {
        return false;
    }
    m_previous.assign(bytes, bytes + size);
    return true;
}

bool FrameSink::waitKept(std::chrono::milliseconds timeout, std::chrono::milliseconds still,
                         const std::function<bool()>& ended) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_stillFor = still;
    m_stoodStill = false;
    const auto done = [this] { return m_frames.size() >= m_keep || m_stoodStill; };
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        const auto slice = std::min(deadline, std::chrono::steady_clock::now() + kEndPoll);
        if (m_changed.wait_until(lock, slice, done)) {
            break;
        }
        lock.unlock();
        const bool over = ended();
        lock.lock();
        if (over) {
            break;
        }
    }
    return m_frames.size() >= m_keep;
}
