// A text file read line by line as the loaders read it: at most maxLine - 1 characters a line, a
// longer line continuing as the next one.
#pragma once

#include <string>

#include "kxFileHandle.h"

class LineReader {
public:
    // Opens path when it is a regular file (isOpen() says whether it did).
    LineReader(const char* path, int maxLine);
    bool isOpen() const { return m_file != nullptr; }
    // The next line, with its line feed when it has one; false at the end of the file.
    bool next(std::string& line);

    // The size of a regular file in bytes, or -1 when it is none or cannot be opened.
    static long fileSize(const char* path);

private:
    FileHandle m_file;
    std::string m_buffer;
};
