#include "RecordingRepair.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <system_error>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/mathematics.h>
}

namespace hv {

namespace {

struct InputRelease {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct OutputRelease {
    void operator()(AVFormatContext* context) const {
        avio_closep(&context->pb);
        avformat_free_context(context);
    }
};
struct PacketRelease {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using Input = std::unique_ptr<AVFormatContext, InputRelease>;
using Output = std::unique_ptr<AVFormatContext, OutputRelease>;
using Packet = std::unique_ptr<AVPacket, PacketRelease>;

QString libraryReason(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

QString systemReason(int code) {
    return QString::fromStdString(std::system_category().message(code));
}

// The new file under a name of its own beside the recording: removed when it goes, unless it
// has replaced the recording.
class TemporaryFile {
public:
    explicit TemporaryFile(const QString& recording) {
        const QFileInfo info(recording);
        m_path = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                   QStringLiteral(".repair-XXXXXX"));
        const int fd = ::mkostemp(m_path.data(), O_CLOEXEC);
        m_made = fd >= 0;
        m_error = m_made ? 0 : errno;
        if (m_made) {
            ::close(fd);
        }
    }
    ~TemporaryFile() {
        if (m_made) {
            ::unlink(m_path.constData());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool made() const { return m_made; }
    // Why the file could not be made.
    int error() const { return m_error; }
    const char* path() const { return m_path.constData(); }

    // Gives the file the recording's owner and permissions, brings it to the disk and renames it
    // over the recording; false (errno set) when a step fails, the recording then unchanged.
    bool replace(const QString& recording) {
        const QByteArray target = QFile::encodeName(recording);
        const int fd = ::open(m_path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        struct stat original {};
        const bool synced = ::stat(target.constData(), &original) == 0 &&
                            ::fchmod(fd, original.st_mode & 07777) == 0 && ::fsync(fd) == 0;
        const int code = errno;
        if (synced && ::fchown(fd, original.st_uid, original.st_gid) != 0) {
            // Another user's recording repaired by this one stays this user's file.
        }
        ::close(fd);
        if (!synced) {
            errno = code;
            return false;
        }
        if (::rename(m_path.constData(), target.constData()) != 0) {
            return false;
        }
        m_made = false;
        // The rename reaches the disk with the folder.
        const int folder =
            ::open(QFile::encodeName(QFileInfo(recording).absolutePath()).constData(),
                   O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
        return true;
    }

private:
    QByteArray m_path;
    bool m_made = false;
    int m_error = 0;
};

// The frames of an AVI file's first video stream, in file order, up to the first one that is cut
// off or damaged: the end of what had reached the disk. The other streams are skipped.
class FrameReader {
public:
    // 0, or the library's error code.
    int open(const QByteArray& fileName) {
        AVFormatContext* opened = nullptr;
        const int result = avformat_open_input(&opened, fileName.constData(),
                                               av_find_input_format("avi"), nullptr);
        m_input.reset(opened);
        for (unsigned i = 0; m_input && i < m_input->nb_streams; ++i) {
            AVStream* stream = m_input->streams[i];
            if (m_video == nullptr && stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
                m_video = stream;
            } else {
                stream->discard = AVDISCARD_ALL;
            }
        }
        return result;
    }
    const AVFormatContext* input() const { return m_input.get(); }
    // Null when the file has no video stream.
    const AVStream* video() const { return m_video; }

    // The next frame into packet, which the caller unreferences; false at the end.
    bool next(AVPacket* packet) {
        while (!m_ended && m_video != nullptr && av_read_frame(m_input.get(), packet) >= 0) {
            if (packet->stream_index == m_video->index && (packet->flags & AV_PKT_FLAG_CORRUPT)) {
                m_ended = true;
            } else if (packet->stream_index == m_video->index && packet->size > 0) {
                return true;
            }
            av_packet_unref(packet);
        }
        m_ended = true;
        return false;
    }

private:
    Input m_input;
    AVStream* m_video = nullptr;
    bool m_ended = false;
};

// The frames a file gives a FrameReader; -1 when it cannot be read.
int readableFrames(const QByteArray& fileName) {
    FrameReader reader;
    const Packet packet(av_packet_alloc());
    if (!packet || reader.open(fileName) < 0) {
        return -1;
    }
    int frames = 0;
    for (; reader.next(packet.get()); ++frames) {
        av_packet_unref(packet.get());
    }
    return frames;
}

// The new AVI file: the source's video stream copied as it is, with the source's metadata, and
// time stamps from 0 in frames of the given rate.
class RebuiltFile {
public:
    // False when the output cannot be set up.
    bool prepare(const FrameReader& source, int framesPerSecond) {
        AVFormatContext* allocated = nullptr;
        if (avformat_alloc_output_context2(&allocated, nullptr, "avi", nullptr) < 0) {
            return false;
        }
        m_output.reset(allocated);
        m_copy = avformat_new_stream(allocated, nullptr);
        if (m_copy == nullptr ||
            avcodec_parameters_copy(m_copy->codecpar, source.video()->codecpar) < 0) {
            return false;
        }
        // The stream's four-character code stays where the container knows it for this codec.
        if (av_codec_get_id(allocated->oformat->codec_tag, m_copy->codecpar->codec_tag) !=
            m_copy->codecpar->codec_id) {
            m_copy->codecpar->codec_tag = 0;
        }
        m_frameTime = AVRational{1, framesPerSecond};
        m_copy->time_base = m_frameTime;
        m_copy->avg_frame_rate = m_copy->r_frame_rate = AVRational{framesPerSecond, 1};
        return av_dict_copy(&allocated->metadata, source.input()->metadata, 0) >= 0 &&
               av_dict_copy(&m_copy->metadata, source.video()->metadata, 0) >= 0;
    }
    // Opens path and writes the header: 0, or the library's error code.
    int begin(const char* path) {
        const int opened = avio_open(&m_output->pb, path, AVIO_FLAG_WRITE);
        return opened < 0 ? opened : avformat_write_header(m_output.get(), nullptr);
    }
    // Writes the next frame (the packet is left empty): 0, or the library's error code.
    int write(AVPacket* packet) {
        packet->stream_index = m_copy->index;
        packet->pts = packet->dts = av_rescale_q(m_frames, m_frameTime, m_copy->time_base);
        packet->duration = av_rescale_q(1, m_frameTime, m_copy->time_base);
        packet->pos = -1;
        const int result = av_write_frame(m_output.get(), packet);
        m_frames += result >= 0 ? 1 : 0;
        return result;
    }
    // Writes the index and the header's counts and closes the file: 0, or the error code.
    int finish() {
        const int trailer = av_write_trailer(m_output.get());
        const int closed = avio_closep(&m_output->pb);
        return trailer < 0 ? trailer : closed;
    }
    int frames() const { return m_frames; }

private:
    Output m_output;
    AVStream* m_copy = nullptr;  // owned by m_output
    AVRational m_frameTime{1, 1};
    int m_frames = 0;
};

}  // namespace

RecordingRepair::RecordingRepair(int framesPerSecond)
    : m_framesPerSecond(framesPerSecond > 0 ? framesPerSecond : 1) {}

bool RecordingRepair::repair(const QString& fileName) {
    m_frames = 0;
    m_errorText.clear();
    const QString shown = QFileInfo(fileName).fileName();
    const auto fail = [this](const QString& why) {
        m_errorText = why;
        return false;
    };

    FrameReader reader;
    const int opened = reader.open(QFile::encodeName(fileName));
    if (opened < 0) {
        return fail(QStringLiteral("%1 cannot be read as an AVI file: %2.")
                        .arg(shown, libraryReason(opened)));
    }
    if (reader.video() == nullptr) {
        return fail(QStringLiteral("%1 holds no video.").arg(shown));
    }
    RebuiltFile rebuilt;
    const Packet packet(av_packet_alloc());
    if (!packet || !rebuilt.prepare(reader, m_framesPerSecond)) {
        return fail(QStringLiteral("The repair of %1 could not be prepared.").arg(shown));
    }
    TemporaryFile temporary(fileName);
    if (!temporary.made()) {
        return fail(QStringLiteral("The repaired %1 cannot be written: %2.")
                        .arg(shown, systemReason(temporary.error())));
    }
    int failure = rebuilt.begin(temporary.path());
    while (failure >= 0 && reader.next(packet.get())) {
        failure = rebuilt.write(packet.get());
        av_packet_unref(packet.get());
    }
    if (failure >= 0 && rebuilt.frames() == 0) {
        return fail(QStringLiteral("%1 holds no frame.").arg(shown));
    }
    failure = failure < 0 ? failure : rebuilt.finish();
    if (failure < 0) {
        return fail(QStringLiteral("The repaired %1 cannot be written: %2.")
                        .arg(shown, libraryReason(failure)));
    }
    // The recording is replaced only by a file that gives back every frame written into it.
    if (readableFrames(temporary.path()) != rebuilt.frames()) {
        return fail(QStringLiteral("The repaired %1 does not read back whole.").arg(shown));
    }
    if (!temporary.replace(fileName)) {
        return fail(QStringLiteral("The repaired %1 cannot replace the recording: %2.")
                        .arg(shown, systemReason(errno)));
    }
    m_frames = rebuilt.frames();
    return true;
}

}  // namespace hv
