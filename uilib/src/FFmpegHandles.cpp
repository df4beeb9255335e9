#include "FFmpegHandles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libswscale/swscale.h>
}

namespace kxui {

void OutputFormatRelease::operator()(AVFormatContext* context) const {
    if (context->oformat != nullptr && (context->oformat->flags & AVFMT_NOFILE) == 0) {
        avio_closep(&context->pb);
    }
    avformat_free_context(context);
}

void InputFormatRelease::operator()(AVFormatContext* context) const {
    avformat_close_input(&context);
}

void CodecContextRelease::operator()(AVCodecContext* context) const {
    avcodec_free_context(&context);
}

void FrameRelease::operator()(AVFrame* frame) const {
    av_frame_free(&frame);
}

void PacketRelease::operator()(AVPacket* packet) const {
    av_packet_free(&packet);
}

void BufferRelease::operator()(uint8_t* buffer) const {
    av_free(buffer);
}

void ScalerRelease::operator()(SwsContext* context) const {
    sws_freeContext(context);
}

}  // namespace kxui
