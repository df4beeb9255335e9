#include "RecordingFrameReader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace hv {

void RecordingFrameReader::InputRelease::operator()(AVFormatContext* context) const {
    avformat_close_input(&context);
}

int RecordingFrameReader::open(const QByteArray& fileName) {
    AVFormatContext* opened = nullptr;
    const int result =
        avformat_open_input(&opened, fileName.constData(), av_find_input_format("avi"), nullptr);
    m_input.reset(opened);
    m_video = nullptr;
    m_ended = false;
    for (unsigned i = 0; m_input && i < m_input->nb_streams; ++i) {
        AVStream* stream = m_input->streams[i];
        if (m_video == nullptr && stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            m_video = stream;
        } else {
            stream->discard = AVDISCARD_ALL;
        }
    }
    return result;
}

bool RecordingFrameReader::next(AVPacket* packet) {
    while (!m_ended && m_video != nullptr && av_read_frame(m_input.get(), packet) >= 0) {
        const bool ours = packet->stream_index == m_video->index;
        if (ours && (packet->flags & AV_PKT_FLAG_CORRUPT) != 0) {
            m_ended = true;
        } else if (ours && packet->size > 0) {
            return true;
        }
        av_packet_unref(packet);
    }
    m_ended = true;
    return false;
}

int RecordingFrameReader::countFrames(const QByteArray& fileName) {
    RecordingFrameReader reader;
    AVPacket* packet = av_packet_alloc();
    int frames = packet != nullptr && reader.open(fileName) >= 0 ? 0 : -1;
    while (frames >= 0 && reader.next(packet)) {
        av_packet_unref(packet);
        ++frames;
    }
    av_packet_free(&packet);
    return frames;
}

}  // namespace hv
