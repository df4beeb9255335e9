// Owning handles for the FFmpeg objects of the video encoder and decoder. Each handle releases
// its object through FFmpeg's own release call; the FFmpeg types stay incomplete here, so users
// of the library need no FFmpeg headers.
#pragma once

#include <cstdint>
#include <memory>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace kxui {

struct OutputFormatRelease {
    // Closes the output byte stream (when the container opened one) and frees the context.
    void operator()(AVFormatContext* context) const;
};
struct InputFormatRelease {
    void operator()(AVFormatContext* context) const;
};
struct CodecContextRelease {
    void operator()(AVCodecContext* context) const;
};
struct FrameRelease {
    void operator()(AVFrame* frame) const;
};
struct PacketRelease {
    void operator()(AVPacket* packet) const;
};
struct BufferRelease {
    void operator()(uint8_t* buffer) const;
};
struct ScalerRelease {
    void operator()(SwsContext* context) const;
};

using OutputFormatHandle = std::unique_ptr<AVFormatContext, OutputFormatRelease>;
using InputFormatHandle = std::unique_ptr<AVFormatContext, InputFormatRelease>;
using CodecContextHandle = std::unique_ptr<AVCodecContext, CodecContextRelease>;
using FrameHandle = std::unique_ptr<AVFrame, FrameRelease>;
using PacketHandle = std::unique_ptr<AVPacket, PacketRelease>;
using BufferHandle = std::unique_ptr<uint8_t, BufferRelease>;
using ScalerHandle = std::unique_ptr<SwsContext, ScalerRelease>;

}  // namespace kxui
