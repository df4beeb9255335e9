#include "RecordingMarker.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <system_error>

namespace hv {

namespace {

const QString kMarkerPrefix = QStringLiteral(".");
const QString kMarkerSuffix = QStringLiteral(".recording");

// The marker's lines: "<key> <value>".
const QByteArray kRecordingKey = "recording";
const QByteArray kProcessKey = "process";
const QByteArray kStartedKey = "started";
const QByteArray kBootKey = "boot";

// Markers and the process files they are checked against are a few hundred bytes.
constexpr qint64 kMaxSmallFile = 4096;

// After the command name in /proc/<pid>/stat: the state is the first field, the start time
// (clock ticks after boot) the twentieth.
constexpr int kStateField = 0;
constexpr int kStartField = 19;

QString systemReason(int code) {
    return QString::fromStdString(std::system_category().message(code));
}

// The start of a small file (process files report no size, so they are read to their end).
QByteArray readSmallFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    QByteArray content;
    char chunk[512];
    while (content.size() < kMaxSmallFile) {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        content.append(chunk, count);
    }
    ::close(fd);
    return content.left(kMaxSmallFile);
}

// The fields of a process's stat file after its command name (which may hold spaces and
// parentheses itself); none when there is no such process.
QList<QByteArray> processStat(qint64 pid) {
    const QByteArray stat = readSmallFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype commandEnd = stat.lastIndexOf(')');
    if (commandEnd < 0) {
        return {};
    }
    return stat.mid(commandEnd + 1).simplified().split(' ');
}

QByteArray processStart(qint64 pid) {
    const QList<QByteArray> fields = processStat(pid);
    return fields.size() > kStartField ? fields[kStartField] : QByteArray();
}

QByteArray bootId() {
    return readSmallFile(QStringLiteral("/proc/sys/kernel/random/boot_id")).trimmed();
}

bool writeAll(int fd, const QByteArray& content) {
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t count =
            ::write(fd, content.constData() + done, static_cast<size_t>(content.size() - done));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return false;
        }
        done += count;
    }
    return true;
}

// Brings a folder's entries (a file made or removed in it) to the disk.
bool syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

}  // namespace

QString RecordingMarker::pathFor(const QString& recordingFile) {
    const QFileInfo recording(recordingFile);
    return recording.absolutePath() + QLatin1Char('/') + kMarkerPrefix + recording.fileName() +
           kMarkerSuffix;
}

bool RecordingMarker::create(const QString& recordingFile, QString* why) {
    const QString marker = pathFor(recordingFile);
    const QByteArray name = QFile::encodeName(marker);
    const qint64 pid = ::getpid();
    const QByteArray content = kRecordingKey + ' ' + QFileInfo(recordingFile).fileName().toUtf8() +
                               '\n' + kProcessKey + ' ' + QByteArray::number(pid) + '\n' +
                               kStartedKey + ' ' + processStart(pid) + '\n' + kBootKey + ' ' +
                               bootId() + '\n';
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (why != nullptr) {
            *why = systemReason(errno);
        }
        return false;
    }
    bool made = writeAll(fd, content) && ::fsync(fd) == 0;
    int code = errno;
    if (::close(fd) != 0 && made) {
        made = false;
        code = errno;
    }
    if (made && !syncFolder(QFileInfo(marker).absolutePath())) {
        made = false;
        code = errno;
    }
    if (!made) {
        ::unlink(name.constData());
        if (why != nullptr) {
            *why = systemReason(code);
        }
    }
    return made;
}

bool RecordingMarker::remove(const QString& recordingFile) {
    const QString marker = pathFor(recordingFile);
    if (::unlink(QFile::encodeName(marker).constData()) != 0) {
        return errno == ENOENT;
    }
    // The marker is gone either way; a folder that does not reach the disk now will later.
    syncFolder(QFileInfo(marker).absolutePath());
    return true;
}

QList<RecordingMarker> RecordingMarker::inFolder(const QString& folder) {
    const QDir dir(folder);
    QList<RecordingMarker> markers;
    const QStringList names = dir.entryList({QLatin1Char('*') + kMarkerSuffix},
                                            QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names) {
        if (name.startsWith(kMarkerPrefix) &&
            name.size() > kMarkerPrefix.size() + kMarkerSuffix.size()) {
            markers << read(dir.filePath(name));
        }
    }
    return markers;
}

RecordingMarker RecordingMarker::read(const QString& markerFile) {
    RecordingMarker marker;
    const QFileInfo info(markerFile);
    marker.m_markerFile = info.absoluteFilePath();
    QString recordingName;
    for (const QByteArray& line : readSmallFile(markerFile).split('\n')) {
        const qsizetype space = line.indexOf(' ');
        const QByteArray key = line.left(space);
        const QByteArray value = space < 0 ? QByteArray() : line.mid(space + 1);
        if (key == kRecordingKey) {
            recordingName = QString::fromUtf8(value);
        } else if (key == kProcessKey) {
            marker.m_processId = value.toLongLong();
        } else if (key == kStartedKey) {
            marker.m_processStart = QString::fromLatin1(value);
        } else if (key == kBootKey) {
            marker.m_bootId = QString::fromLatin1(value);
        }
    }
    // The name inside counts only when it is the name the marker's own name was made from.
    const QString folder = info.absolutePath() + QLatin1Char('/');
    if (recordingName.isEmpty() || recordingName.contains(QLatin1Char('/')) ||
        pathFor(folder + recordingName) != marker.m_markerFile) {
        const QString own = info.fileName();
        recordingName =
            own.mid(kMarkerPrefix.size(), own.size() - kMarkerPrefix.size() - kMarkerSuffix.size());
    }
    marker.m_recordingFile = folder + recordingName;
    return marker;
}

bool RecordingMarker::writerAlive() const {
    if (m_processId <= 0 || m_processId > INT_MAX) {
        return false;
    }
    const QByteArray boot = bootId();
    if (!m_bootId.isEmpty() && !boot.isEmpty() && m_bootId.toLatin1() != boot) {
        return false;  // the machine was started again since
    }
    const QList<QByteArray> stat = processStat(m_processId);
    if (stat.isEmpty()) {
        // No such process; or no process file system, when only the kernel can tell.
        if (QFileInfo::exists(QStringLiteral("/proc/self/stat"))) {
            return false;
        }
        return ::kill(static_cast<pid_t>(m_processId), 0) == 0 || errno == EPERM;
    }
    if (stat[kStateField] == "Z" || stat[kStateField] == "X") {
        return false;  // ended, not yet reaped by its parent
    }
    // The same id, but a process that started at another time took it over.
    return m_processStart.isEmpty() || stat.size() <= kStartField ||
           stat[kStartField] == m_processStart.toLatin1();
}

}  // namespace hv
