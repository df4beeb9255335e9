#include "VideoStream.h"

#include <algorithm>

namespace hv {

bool VideoStream::open(const QString& fileName) {
    close();
    m_open = m_decoder.openFile(fileName);
    if (m_open) {
        m_lengthMs = std::max(0, m_decoder.getVideoLengthMs());
    }
    return m_open;
}

void VideoStream::close() {
    m_decoder.close();
    m_open = false;
    m_lengthMs = 0;
}

std::optional<VideoStream::Frame> VideoStream::next() {
    if (!m_open || !m_decoder.seekNextFrame()) {
        return std::nullopt;
    }
    return decoded();
}

std::optional<VideoStream::Frame> VideoStream::seek(int ms) {
    if (!m_open || !m_decoder.seekMs(std::max(0, ms))) {
        return std::nullopt;
    }
    return decoded();
}

std::optional<VideoStream::Frame> VideoStream::decoded() {
    Frame frame;
    if (!m_decoder.getFrame(frame.image, nullptr, &frame.timeMs)) {
        return std::nullopt;
    }
    return frame;
}

}  // namespace hv
