// A real video encoder that the recorder tests watch: it counts the frames it was given and
// notes the threads that used it, and it can be held inside its next frame, so that a test waits
// for the encoding thread (without sleeping) or holds it up.
#pragma once

#include <QImage>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "QVideoEncoder.h"
#include "VideoRecorder.h"

namespace rectest {

// What the encoders of one recorder saw; shared between the test and the encoders.
class EncoderLog {
public:
    // Waits until count frames were encoded or an encode call failed: false after 20 s.
    bool waitForFrames(int count) {
        std::unique_lock<std::mutex> hold(m_lock);
        return m_changed.wait_for(hold, kPatience, [&] { return m_encoded >= count || m_failed; });
    }
    // The next encode call waits inside until release().
    void hold() {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_held = true;
    }
    // Waits until an encode call is held: false after 20 s.
    bool waitUntilHeld() {
        std::unique_lock<std::mutex> hold(m_lock);
        return m_changed.wait_for(hold, kPatience, [&] { return m_waiting; });
    }
    void release() {
        {
            const std::lock_guard<std::mutex> guard(m_lock);
            m_held = false;
        }
        m_changed.notify_all();
    }

    int encoded() const {
        const std::lock_guard<std::mutex> guard(m_lock);
        return m_encoded;
    }
    bool failed() const {
        const std::lock_guard<std::mutex> guard(m_lock);
        return m_failed;
    }
    std::set<std::thread::id> encodingThreads() const {
        const std::lock_guard<std::mutex> guard(m_lock);
        return m_encodingThreads;
    }
    std::set<std::thread::id> closingThreads() const {
        const std::lock_guard<std::mutex> guard(m_lock);
        return m_closingThreads;
    }
    // Frames given after the file was closed.
    int encodedAfterClose() const {
        const std::lock_guard<std::mutex> guard(m_lock);
        return m_encodedAfterClose;
    }

    void beforeEncode() {
        std::unique_lock<std::mutex> hold(m_lock);
        m_waiting = m_held;
        m_changed.notify_all();
        m_changed.wait(hold, [&] { return !m_held; });
        m_waiting = false;
    }
    void afterEncode(int result, bool closed) {
        {
            const std::lock_guard<std::mutex> guard(m_lock);
            m_encoded += result >= 0 ? 1 : 0;
            m_failed = m_failed || result < 0;
            m_encodedAfterClose += closed ? 1 : 0;
            m_encodingThreads.insert(std::this_thread::get_id());
        }
        m_changed.notify_all();
    }
    void closing() {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_closingThreads.insert(std::this_thread::get_id());
    }

private:
    static constexpr std::chrono::seconds kPatience{20};

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    int m_encoded = 0;
    bool m_failed = false;
    bool m_held = false;
    bool m_waiting = false;
    int m_encodedAfterClose = 0;
    std::set<std::thread::id> m_encodingThreads;
    std::set<std::thread::id> m_closingThreads;
};

class WatchedEncoder : public QVideoEncoder {
public:
    explicit WatchedEncoder(std::shared_ptr<EncoderLog> log) : m_log(std::move(log)) {}

    int encodeImagePts(const QImage& image, unsigned pts) override {
        m_log->beforeEncode();
        const int result = QVideoEncoder::encodeImagePts(image, pts);
        m_log->afterEncode(result, m_closed);
        return result;
    }
    // (createFile closes too, before it opens its file.)
    bool close() override {
        if (isOk()) {
            m_closed = true;
            m_log->closing();
        }
        return QVideoEncoder::close();
    }

private:
    std::shared_ptr<EncoderLog> m_log;
    std::atomic<bool> m_closed{false};
};

// The encoder factory of a recorder whose encoders report to log.
inline hv::VideoRecorder::EncoderFactory watchedEncoders(std::shared_ptr<EncoderLog> log) {
    return [log] { return std::make_unique<WatchedEncoder>(log); };
}

}  // namespace rectest
