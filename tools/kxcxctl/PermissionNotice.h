// Why a board could not be opened when the system refused its device node. The library tells its
// caller only EACCES (errno after openCxDevice) and writes the node to its log:
//   "no permission on /dev/bus/usb/001/004; see the README on udev rules"
// kxcxctl reads that sentence back from what the library appended to its daily log during the
// run (LogMark), so the user sees the same words without a look into the log.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class PermissionNotice {
public:
    static constexpr const char* kStart = "no permission on /dev/bus/usb/";
    static constexpr const char* kEnd = "; see the README on udev rules";

    // The last whole sentence in text ("no permission on /dev/bus/usb/...; see the README on udev
    // rules"); nullopt when there is none.
    static std::optional<std::string> lastIn(const std::string& text);
    // For a node the log does not name: the sentence without the node's numbers.
    static std::string withoutNode();
};

// Where the library's daily log ends before the library loads, to read what it appends during the
// run. The log is "kxCxLogYYYYMMDD.txt" (local date) in KXCX_LOG_DIR (the current folder when it
// is unset or empty), or in the home folder when that folder cannot be written.
class LogMark {
public:
    // The log files as they are now; call after LogEnvironment::prepare, before loadCxLib.
    static LogMark now();
    // "kxCxLogYYYYMMDD.txt" for today's local date.
    static std::string todaysFileName();

    // What the files have gained since the mark (a file that shrank, or a later day's file, is
    // read whole). Complete once the library is unloaded (its log is written out then).
    std::string appended() const;

private:
    struct File {
        std::string path;
        std::uintmax_t size = 0;
    };
    static std::vector<std::string> candidates(const std::string& fileName);
    std::vector<File> m_files;
};
