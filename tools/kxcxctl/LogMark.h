// Where the library's daily log ends before the library loads, to read what it appends during the
// run. The log is "kxCxLogYYYYMMDD.txt" (local date) in KXCX_LOG_DIR (the current folder when it
// is unset or empty), or in the home folder when that folder cannot be written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class LogMark {
public:
    // The log files as they are now; call after LogEnvironment::prepare, before loadCxLib.
    static LogMark now();

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
