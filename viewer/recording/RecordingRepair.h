// Makes an unfinished AVI recording playable again. A recording that was never closed (a crash,
// a kill, a power cut, a full disk) has its header and its frames up to the last write to the
// disk, but no index, and its header still counts no frames. The repair reads the frames the
// file holds, in order, up to the first one that is cut off or damaged, and writes them into a
// new AVI beside it: the same video stream copied as it is (not encoded again), the same
// container metadata, fresh time stamps 0, 1, 2, ... in frames of the given rate, the key frames
// marked, the header counts and the index written. The new file then replaces the recording in
// one step (written under a temporary name in the same folder, synced, renamed over it), so the
// recording is either the old file or the whole new one, never something between.
#pragma once

#include <QString>

namespace hv {

class RecordingRepair {
public:
    // framesPerSecond: the recording's frame rate, at least 1.
    explicit RecordingRepair(int framesPerSecond);

    // Rebuilds fileName as above. False, with the file left as it was, when it cannot be read
    // as AVI, holds no video stream or no frame at all, or the new file cannot be written;
    // errorText() then says why.
    bool repair(const QString& fileName);

    // The frames the last repair recovered (0 when it failed).
    int frames() const { return m_frames; }
    QString errorText() const { return m_errorText; }

private:
    int m_framesPerSecond;
    int m_frames = 0;
    QString m_errorText;
};

}  // namespace hv
