#include "FrameSink.h"

#include <cstring>

namespace {
std::atomic<FrameSink*> g_active{nullptr};
}

FrameSink::FrameSink(std::size_t keep) : m_keep(keep) { g_active = this; }

FrameSink::~FrameSink() { g_active = nullptr; }

void FrameSink::onFrame(const void* frame, int frameBytes, CamContext*) {
    FrameSink* sink = g_active;
    if (sink == nullptr || frame == nullptr || frameBytes <= 0) {
        return;
    }
    ++sink->m_count;
    std::lock_guard<std::mutex> lock(sink->m_mutex);
    if (sink->m_frames.size() < sink->m_keep) {
        const auto* bytes = static_cast<const uint8_t*>(frame);
        sink->m_frames.emplace_back(bytes, bytes + frameBytes);
        sink->m_changed.notify_all();
    }
}

bool FrameSink::waitKept(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_frames.size() >= m_keep; });
}
