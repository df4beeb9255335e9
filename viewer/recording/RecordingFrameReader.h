// Reads the frames of an AVI recording's first video stream, in file order, up to the first one
// that is cut off or damaged: in a recording that was never finished, the end of what had reached
// the disk. The file need not have an index or true counts in its header. Other streams are
// skipped.
#pragma once

#include <QByteArray>
#include <memory>

struct AVFormatContext;
struct AVPacket;
struct AVStream;

namespace hv {

class RecordingFrameReader {
public:
    // Opens fileName (as the file system spells it) as AVI: 0, or FFmpeg's error code.
    int open(const QByteArray& fileName);
    // The open file; null before open() succeeded.
    const AVFormatContext* input() const { return m_input.get(); }
    // The stream read; null when the file has no video stream.
    const AVStream* video() const { return m_video; }

    // The next frame into packet, which the caller unreferences; false at the end.
    bool next(AVPacket* packet);

    // The frames a reader gives of fileName; -1 when it cannot be opened.
    static int countFrames(const QByteArray& fileName);

private:
    struct InputRelease {
        void operator()(AVFormatContext* context) const;
    };

    std::unique_ptr<AVFormatContext, InputRelease> m_input;
    AVStream* m_video = nullptr;  // owned by m_input
    bool m_ended = false;
};

}  // namespace hv
