// Why a path gives no file to read, for the log of the library and the messages of the tools.
#pragma once

#include <string>

class ReadableFile {
public:
    // Empty when path names a regular file that opens for reading; else the reason, as a clause:
    // "there is no such file", "it is a folder", "it is not a regular file" or "it cannot be read
    // (<system error>)".
    static std::string problem(const char* path);
};
