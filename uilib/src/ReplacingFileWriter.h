// Writes a new content of a file beside it and puts it in place with one rename, so that a
// crash or a full disk during the write leaves the old file whole.
#pragma once

#include <cstdio>
#include <string>

namespace kxui {

class ReplacingFileWriter {
public:
    // The file that writing to name reaches: symbolic links are followed (the last one may
    // point to a file that does not exist yet), so a linked file is replaced and its link kept.
    static std::string resolve(const std::string& name);

    // Fails (null stream, errno set) where opening the target for writing would: a folder, a
    // file the user may not write, a chain of links without end, a folder that cannot be
    // written.
    explicit ReplacingFileWriter(const std::string& target);
    // Removes the temporary file when the content was not committed.
    ~ReplacingFileWriter();
    ReplacingFileWriter(const ReplacingFileWriter&) = delete;
    ReplacingFileWriter& operator=(const ReplacingFileWriter&) = delete;

    // The stream for the new content; null when the temporary file could not be made.
    FILE* stream() const { return m_stream; }
    // The file that commit replaces (the target with its links followed).
    const std::string& target() const { return m_target; }
    // Flushes the new content to disk, renames it over the target, which keeps its
    // permissions, and flushes the folder so that the rename lasts too. False when the content
    // could not be written or renamed; the target is then unchanged.
    bool commit();

private:
    void discard();

    std::string m_target;
    std::string m_temporary;
    FILE* m_stream = nullptr;
};

}  // namespace kxui
