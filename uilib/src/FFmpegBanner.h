// The three lines that the video encoder and decoder print when they are made: the container
// library's licence, the codec library's version number and the container library's build
// configuration.
#pragma once

namespace kxui {

class FFmpegBanner {
public:
    static void print();
};

}  // namespace kxui
