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

#include "RebuiltRecording.h"
#include "RecordingFrameReader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/error.h>
}

namespace hv {

namespace {

struct PacketRelease {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
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

    RecordingFrameReader reader;
    const int opened = reader.open(QFile::encodeName(fileName));
    if (opened < 0) {
        return fail(QStringLiteral("%1 cannot be read as an AVI file: %2.")
                        .arg(shown, libraryReason(opened)));
    }
    if (reader.video() == nullptr) {
        return fail(QStringLiteral("%1 holds no video.").arg(shown));
    }
    RebuiltRecording rebuilt;
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
    if (RecordingFrameReader::countFrames(temporary.path()) != rebuilt.frames()) {
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
