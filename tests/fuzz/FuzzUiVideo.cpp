// Video files are opened, stepped through and sought by QVideoDecoder. Whatever the file, every
// call ends, and a decoded picture has the size the file was opened with.
#include <fcntl.h>
#include <unistd.h>

#include <QImage>
#include <QString>
#include <cstdint>
#include <string>

#include "FuzzScratch.h"
#include "QVideoDecoder.h"

extern "C" {
#include <libavutil/log.h>
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The decoder prints its banner and file descriptions; FFmpeg logs every damaged packet.
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QVideoDecoder decoder;
    const std::string input = fuzz::FuzzScratch::write("input.video", data, size);
    if (!decoder.openFile(QString::fromStdString(input))) {
        return 0;
    }
    QImage first;
    QImage picture;
    for (int i = 0; i < 40 && decoder.seekNextFrame(); ++i) {
        if (!decoder.getFrame(picture) || picture.isNull()) {
            __builtin_trap();
        }
        if (first.isNull()) {
            first = picture;
        } else if (picture.size() != first.size()) {
            __builtin_trap();
        }
    }
    const int length = decoder.getVideoLengthMs();
    decoder.seekFrame(size % 7);
    decoder.seekMs(length > 0 ? length / 2 : 40);
    decoder.seekNextFrame();
    decoder.close();
    return 0;
}
