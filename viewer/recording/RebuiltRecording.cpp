#include "RebuiltRecording.h"

#include "RecordingFrameReader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

namespace hv {

void RebuiltRecording::OutputRelease::operator()(AVFormatContext* context) const {
    avio_closep(&context->pb);
    avformat_free_context(context);
}

bool RebuiltRecording::prepare(const RecordingFrameReader& source, int framesPerSecond) {
    AVFormatContext* allocated = nullptr;
    if (avformat_alloc_output_context2(&allocated, nullptr, "avi", nullptr) < 0) {
        return false;
    }
    m_output.reset(allocated);
    m_frames = 0;
    m_framesPerSecond = framesPerSecond;
    m_copy = avformat_new_stream(allocated, nullptr);
    if (m_copy == nullptr ||
        avcodec_parameters_copy(m_copy->codecpar, source.video()->codecpar) < 0) {
        return false;
    }
    // The stream's four-character code stays where the container knows it for this codec.
    if (av_codec_get_id(allocated->oformat->codec_tag, m_copy->codecpar->codec_tag) !=
        m_copy->codecpar->codec_id) {
        m_copy->codecpar->codec_tag = 0;
    }
    m_copy->time_base = AVRational{1, framesPerSecond};
    m_copy->avg_frame_rate = m_copy->r_frame_rate = AVRational{framesPerSecond, 1};
    return av_dict_copy(&allocated->metadata, source.input()->metadata, 0) >= 0 &&
           av_dict_copy(&m_copy->metadata, source.video()->metadata, 0) >= 0;
}

int RebuiltRecording::begin(const char* path) {
    const int opened = avio_open(&m_output->pb, path, AVIO_FLAG_WRITE);
    return opened < 0 ? opened : avformat_write_header(m_output.get(), nullptr);
}

int RebuiltRecording::write(AVPacket* packet) {
    // The container may have chosen a finer time base than the frame rate.
    const AVRational frameTime{1, m_framesPerSecond};
    packet->stream_index = m_copy->index;
    packet->pts = packet->dts = av_rescale_q(m_frames, frameTime, m_copy->time_base);
    packet->duration = av_rescale_q(1, frameTime, m_copy->time_base);
    packet->pos = -1;
    const int result = av_write_frame(m_output.get(), packet);
    m_frames += result >= 0 ? 1 : 0;
    return result;
}

int RebuiltRecording::finish() {
    const int trailer = av_write_trailer(m_output.get());
    const int closed = avio_closep(&m_output->pb);
    return trailer < 0 ? trailer : closed;
}

}  // namespace hv
