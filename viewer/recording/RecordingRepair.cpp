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

// The first video stream of input; -1 when it has none. The demuxer skips the others.
int pickVideoStream(AVFormatContext* input) {
    int video = -1;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        AVStream* stream = input->streams[i];
        if (video < 0 && stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            video = static_cast<int>(i);
        } else {
            stream->discard = AVDISCARD_ALL;
        }
    }
    return video;
}

}  // namespace

RecordingRepair::RecordingRepair(int framesPerSecond)
    : m_framesPerSecond(framesPerSecond > 0 ? framesPerSecond : 1) {}

bool RecordingRepair::repair(const QString& fileName) {
    m_frames = 0;
    m_errorText.clear();
    const QString shown = QFileInfo(fileName).fileName();
    const QByteArray name = QFile::encodeName(fileName);

    AVFormatContext* opened = nullptr;
    const int openResult =
        avformat_open_input(&opened, name.constData(), av_find_input_format("avi"), nullptr);
    if (openResult < 0) {
        m_errorText = QStringLiteral("%1 cannot be read as an AVI file: %2.")
                          .arg(shown, libraryReason(openResult));
        return false;
    }
    const Input input(opened);
    const int videoIndex = pickVideoStream(input.get());
    if (videoIndex < 0) {
        m_errorText = QStringLiteral("%1 holds no video.").arg(shown);
        return false;
    }
    const AVStream* video = input->streams[videoIndex];

    AVFormatContext* allocated = nullptr;
    if (avformat_alloc_output_context2(&allocated, nullptr, "avi", nullptr) < 0) {
        m_errorText = QStringLiteral("The repair of %1 could not be prepared.").arg(shown);
        return false;
    }
    const Output output(allocated);
    AVStream* copy = avformat_new_stream(output.get(), nullptr);
    if (copy == nullptr || avcodec_parameters_copy(copy->codecpar, video->codecpar) < 0) {
        m_errorText = QStringLiteral("The repair of %1 could not be prepared.").arg(shown);
        return false;
    }
    // The stream's four-character code is kept where the container knows it for this codec.
    if (av_codec_get_id(output->oformat->codec_tag, copy->codecpar->codec_tag) !=
        copy->codecpar->codec_id) {
        copy->codecpar->codec_tag = 0;
    }
    const AVRational frameTime{1, m_framesPerSecond};
    copy->time_base = frameTime;
    copy->avg_frame_rate = copy->r_frame_rate = AVRational{m_framesPerSecond, 1};
    av_dict_copy(&output->metadata, input->metadata, 0);
    av_dict_copy(&copy->metadata, video->metadata, 0);

    const Packet packet(av_packet_alloc());
    if (!packet) {
        m_errorText = QStringLiteral("The repair of %1 could not be prepared.").arg(shown);
        return false;
    }
    TemporaryFile rebuilt(fileName);
    bool started = false;
    int written = 0;
    int failure = 0;
    // Frames up to the first that is cut off or cannot be read: the end of what reached the disk.
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        const bool usable = packet->stream_index == videoIndex && packet->size > 0 &&
                            (packet->flags & AV_PKT_FLAG_CORRUPT) == 0;
        const bool cutOff =
            packet->stream_index == videoIndex && (packet->flags & AV_PKT_FLAG_CORRUPT) != 0;
        if (usable && !started) {
            if (!rebuilt.made()) {
                m_errorText = QStringLiteral("The repaired %1 cannot be written: %2.")
                                  .arg(shown, systemReason(rebuilt.error()));
                return false;
            }
            failure = avio_open(&output->pb, rebuilt.path(), AVIO_FLAG_WRITE);
            failure = failure < 0 ? failure : avformat_write_header(output.get(), nullptr);
            started = failure >= 0;
        }
        if (usable && started) {
            packet->stream_index = copy->index;
            packet->pts = packet->dts = av_rescale_q(written, frameTime, copy->time_base);
            packet->duration = av_rescale_q(1, frameTime, copy->time_base);
            packet->pos = -1;
            failure = av_write_frame(output.get(), packet.get());
            written += failure >= 0 ? 1 : 0;
        }
        av_packet_unref(packet.get());
        if (failure < 0 || cutOff) {
            break;
        }
    }
    if (failure >= 0 && written == 0) {
        m_errorText = QStringLiteral("%1 holds no frame.").arg(shown);
        return false;
    }
    if (failure >= 0) {
        failure = av_write_trailer(output.get());
    }
    const int closed = avio_closep(&output->pb);
    failure = failure < 0 ? failure : closed;
    if (failure < 0) {
        m_errorText = QStringLiteral("The repaired %1 cannot be written: %2.")
                          .arg(shown, libraryReason(failure));
        return false;
    }
    if (!rebuilt.replace(fileName)) {
        m_errorText = QStringLiteral("The repaired %1 cannot replace the recording: %2.")
                          .arg(shown, systemReason(errno));
        return false;
    }
    m_frames = written;
    return true;
}

}  // namespace hv
