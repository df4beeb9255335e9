#include "kxBinaryFile.h"

#include <algorithm>
#include <cstdio>

#include "kxFileHandle.h"
#include "kxLineReader.h"

namespace {
constexpr std::size_t kReadPiece = 1024;
}

bool BinaryFile::read(const char* path, std::vector<uint8_t>& bytes) {
    const long size = LineReader::fileSize(path);
    FileHandle file(size >= 0 ? std::fopen(path, "rb") : nullptr);
    if (!file) {
        return false;
    }
    bytes.assign(static_cast<std::size_t>(size), 0);
    std::size_t read = 0;
    while (read < bytes.size()) {
        const std::size_t piece = std::min(kReadPiece, bytes.size() - read);
        const std::size_t got = std::fread(bytes.data() + read, 1, piece, file.get());
        if (got == 0) {
            break;
        }
        read += got;
    }
    bytes.resize(read);
    return true;
}
