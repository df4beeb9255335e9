#include "ReviewFiles.h"

#include <QFile>
#include <QImage>
#include <QTimeZone>
#include <memory>

extern "C" {
#include <libavformat/avformat.h>
}

namespace reviewtest {

namespace {

struct InputClose {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct OutputClose {
    void operator()(AVFormatContext* context) const {
        if (context->pb != nullptr) {
            avio_closep(&context->pb);
        }
        avformat_free_context(context);
    }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

}  // namespace

bool writeTaggedCopy(const QString& source, const QString& target, const QString& title,
                     const QString& comment) {
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, source.toUtf8().constData(), nullptr, nullptr) != 0) {
        return false;
    }
    const std::unique_ptr<AVFormatContext, InputClose> input(opened);
    AVFormatContext* made = nullptr;
    const QByteArray targetName = target.toUtf8();
    if (avformat_find_stream_info(input.get(), nullptr) < 0 ||
        avformat_alloc_output_context2(&made, nullptr, "avi", targetName.constData()) < 0) {
        return false;
    }
    const std::unique_ptr<AVFormatContext, OutputClose> output(made);
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        AVStream* stream = avformat_new_stream(output.get(), nullptr);
        if (stream == nullptr ||
            avcodec_parameters_copy(stream->codecpar, input->streams[i]->codecpar) < 0) {
            return false;
        }
        stream->time_base = input->streams[i]->time_base;
    }
    av_dict_set(&output->metadata, "title", title.toUtf8().constData(), 0);
    av_dict_set(&output->metadata, "comment", comment.toUtf8().constData(), 0);
    const std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    if (!packet || avio_open(&output->pb, targetName.constData(), AVIO_FLAG_WRITE) < 0 ||
        avformat_write_header(output.get(), nullptr) < 0) {
        return false;
    }
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        const int index = packet->stream_index;
        av_packet_rescale_ts(packet.get(), input->streams[index]->time_base,
                             output->streams[index]->time_base);
        packet->pos = -1;
        if (av_interleaved_write_frame(output.get(), packet.get()) < 0) {
            return false;
        }
    }
    return av_write_trailer(output.get()) == 0;
}

QImage smallPicture() {
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(qRgb(40, 160, 90));
    return picture;
}

bool writePicture(const QString& fileName, const char* format) {
    return smallPicture().save(fileName, format);
}

bool writeJunk(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write("not a picture, not a video\n") > 0;
}

hv::CaptureContext sampleContext() {
    return hv::CaptureContext{
        .captureTime = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), QTimeZone(3600)),
        .modelLabel = QStringLiteral("RT4207"),
        .serialNumber = QStringLiteral("00C0FFEE"),
        .fpgaVersion = QStringLiteral("1.30"),
        .mcuVersion = QStringLiteral("2.05"),
        .illumination = 60,
        .reference = true,
    };
}

}  // namespace reviewtest
