// The new file a repaired recording is written into: an AVI with the source's video stream copied
// as it is (not encoded again), the source's metadata, and fresh time stamps 0, 1, 2, ... in
// frames of the given rate. Its trailer writes the index and the header's counts.
#pragma once

#include <memory>

struct AVFormatContext;
struct AVPacket;
struct AVStream;

namespace hv {

class RecordingFrameReader;

class RebuiltRecording {
public:
    // Sets the file up after source's stream (source must have one); false when it cannot be.
    bool prepare(const RecordingFrameReader& source, int framesPerSecond);
    // Opens path for writing and writes the header: 0, or FFmpeg's error code.
    int begin(const char* path);
    // Writes the next frame with the next time stamp: 0, or FFmpeg's error code. The caller
    // unreferences the packet.
    int write(AVPacket* packet);
    // Writes the index and the header's counts and closes the file: 0, or FFmpeg's error code.
    int finish();
    // The frames written.
    int frames() const { return m_frames; }

private:
    struct OutputRelease {
        void operator()(AVFormatContext* context) const;
    };

    std::unique_ptr<AVFormatContext, OutputRelease> m_output;
    AVStream* m_copy = nullptr;  // owned by m_output
    int m_framesPerSecond = 1;
    int m_frames = 0;
};

}  // namespace hv
