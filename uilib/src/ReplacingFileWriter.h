// Writes a new content of a file beside it and puts it in place with one rename, so that a
// crash or a full disk during the write leaves the old file whole.
#pragma once

#include <cstdio>
#include <string>

namespace kxui {

class ReplacingFileWriter {
public:
    explicit ReplacingFileWriter(std::string target);
    // Removes the temporary file when the content was not committed.
    ~ReplacingFileWriter();
    ReplacingFileWriter(const ReplacingFileWriter&) = delete;
    ReplacingFileWriter& operator=(const ReplacingFileWriter&) = delete;

    // The stream for the new content; null when the temporary file could not be made.
    FILE* stream() const { return m_stream; }
    // Flushes the new content to disk and renames it over the target, which keeps its
    // permissions. False when any step failed; the target is then unchanged.
    bool commit();

private:
    void discard();

    std::string m_target;
    std::string m_temporary;
    FILE* m_stream = nullptr;
};

}  // namespace kxui
