// The pictures of one video file in order, with their times, read through the UI library's
// decoder as they are asked for: the file is never held whole.
//
// Used on one thread at a time (the GUI thread in the player).
#pragma once

#include <QImage>
#include <QString>
#include <optional>

#include "QVideoDecoder.h"

namespace hv {

class VideoStream {
public:
    struct Frame {
        QImage image;
        // When the picture is shown, from the start of the file.
        int timeMs = 0;
    };

    // Opens fileName, closing the file open before; false when it holds no video the decoder
    // reads.
    bool open(const QString& fileName);
    void close();
    bool isOpen() const { return m_open; }
    // The file's length; 0 when the file does not say.
    int lengthMs() const { return m_lengthMs; }

    // The next picture; none at the end of the file or when it cannot be decoded.
    std::optional<Frame> next();
    // The picture shown at ms: the first one at or after the frame position ms falls in; none
    // when there is no picture there. The pictures after it follow with next().
    std::optional<Frame> seek(int ms);

private:
    std::optional<Frame> decoded();

    QVideoDecoder m_decoder;
    bool m_open = false;
    int m_lengthMs = 0;
};

}  // namespace hv
