#include "FFmpegBanner.h"

#include <cstdio>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace kxui {

void FFmpegBanner::print() {
    // FFmpeg registers its codecs and containers itself since version 4; nothing to call here.
    std::printf("License: %s\n", avformat_license());
    std::printf("AVCodec version %d\n", static_cast<int>(avcodec_version()));
    std::printf("AVFormat configuration: %s\n", avformat_configuration());
}

}  // namespace kxui
