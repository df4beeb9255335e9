#include "QVideoEncoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "FFmpegBanner.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/cpu.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace {

// Plane rows aligned for the converter's and the codec's vector code.
constexpr int kPlaneAlignment = 32;
// Worker threads the codec may use for one file: at most 10, and no more than the machine runs
// at once (FFmpeg's own rule for choosing: one more than the processors). More threads than
// processors only cut the picture into more slices and make each frame slower.
constexpr int kMaxCodecThreads = 10;

int codecThreads() {
    return std::min(kMaxCodecThreads, av_cpu_count() + 1);
}

}  // namespace

QVideoEncoder::QVideoEncoder() {
    initVars();
    initCodec();
}

QVideoEncoder::~QVideoEncoder() {
    QVideoEncoder::close();
}

void QVideoEncoder::initVars() {
    width = height = bitrate = gop = 0;
    ok = false;
    outputFormat = nullptr;
    videoStream = nullptr;
    codec = nullptr;
    nextPts = 0;
    framesPerFlush = 0;
    framesSinceFlush = 0;
}

bool QVideoEncoder::initCodec() {
    kxui::FFmpegBanner::print();
    return true;
}

bool QVideoEncoder::isSizeValid() {
    return (width & 7) == 0 && (height & 7) == 0;
}

bool QVideoEncoder::isOk() {
    return ok;
}

bool QVideoEncoder::createFile(QString fileName, unsigned width, unsigned height, unsigned bitrate,
                               unsigned gop, unsigned fps) {
    close();
    this->width = width;
    this->height = height;
    this->bitrate = bitrate;
    this->gop = gop;
    if (!isSizeValid()) {
        std::printf("Invalid size\n");
        return false;
    }
    // File names go to FFmpeg and to the file system as UTF-8.
    const QByteArray name = fileName.toUtf8();

    outputFormat = av_guess_format(nullptr, name.constData(), nullptr);
    if (outputFormat == nullptr) {
        std::printf("Could not deduce output format from file extension: using MPEG.\n");
        outputFormat = av_guess_format("mpeg", nullptr, nullptr);
    }
    AVFormatContext* context = nullptr;
    if (outputFormat == nullptr ||
        avformat_alloc_output_context2(&context, outputFormat, nullptr, name.constData()) < 0) {
        std::printf("Error allocating format context\n");
        releaseFile();
        return false;
    }
    formatContext.reset(context);
    for (auto entry = metadata.cbegin(); entry != metadata.cend(); ++entry) {
        av_dict_set(&context->metadata, entry.key().toUtf8().constData(),
                    entry.value().toUtf8().constData(), 0);
    }

    videoStream = avformat_new_stream(context, nullptr);
    codecContext.reset(avcodec_alloc_context3(nullptr));
    if (videoStream == nullptr || !codecContext) {
        std::printf("Could not allocate stream\n");
        releaseFile();
        return false;
    }
    videoStream->id = 0;
    AVCodecContext* settings = codecContext.get();
    settings->codec_id = outputFormat->video_codec;
    settings->codec_type = AVMEDIA_TYPE_VIDEO;
    settings->bit_rate = bitrate;
    settings->width = static_cast<int>(width);
    settings->height = static_cast<int>(height);
    settings->time_base = AVRational{1, static_cast<int>(fps)};
    settings->framerate = AVRational{static_cast<int>(fps), 1};
    settings->gop_size = static_cast<int>(gop);
    settings->pix_fmt = AV_PIX_FMT_YUV420P;
    settings->thread_count = codecThreads();
    if ((outputFormat->flags & AVFMT_GLOBALHEADER) != 0) {
        settings->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (avformat_query_codec(outputFormat, settings->codec_id, FF_COMPLIANCE_NORMAL) < 0) {
        std::printf("Invalid output format parameters\n");
        releaseFile();
        return false;
    }
    // The stream's parameters as far as they are known, for the description.
    avcodec_parameters_from_context(videoStream->codecpar, settings);
    av_dump_format(context, 0, name.constData(), 1);

    codec = avcodec_find_encoder(settings->codec_id);
    if (codec == nullptr) {
        std::printf("codec not found\n");
        releaseFile();
        return false;
    }
    if (fps == 0 || avcodec_open2(settings, codec, nullptr) < 0 ||
        avcodec_parameters_from_context(videoStream->codecpar, settings) < 0) {
        std::printf("could not open codec\n");
        releaseFile();
        return false;
    }
    videoStream->time_base = settings->time_base;

    if (!initOutputBuf()) {
        std::printf("Can't allocate memory for output bitstream\n");
        releaseFile();
        return false;
    }
    if (!initFrame()) {
        std::printf("Can't init frame\n");
        releaseFile();
        return false;
    }
    if ((outputFormat->flags & AVFMT_NOFILE) == 0 &&
        avio_open(&context->pb, name.constData(), AVIO_FLAG_WRITE) < 0) {
        std::printf("Could not open '%s'\n", name.constData());
        releaseFile();
        return false;
    }
    if (avformat_write_header(context, nullptr) < 0) {
        std::printf("Could not write the header of '%s'\n", name.constData());
        releaseFile();
        return false;
    }
    framesPerFlush = fps;
    flushToFile();
    nextPts = 0;
    ok = true;
    return true;
}

void QVideoEncoder::setMetadata(const QString& key, const QString& value) {
    if (key.isEmpty()) {
        return;
    }
    if (value.isEmpty()) {
        metadata.remove(key);
    } else {
        metadata.insert(key, value);
    }
}

bool QVideoEncoder::initOutputBuf() {
    packet.reset(av_packet_alloc());
    return packet != nullptr;
}

void QVideoEncoder::freeOutputBuf() {
    packet.reset();
}

bool QVideoEncoder::initFrame() {
    frame.reset(av_frame_alloc());
    if (!frame) {
        return false;
    }
    const AVCodecContext* settings = codecContext.get();
    const int size = av_image_get_buffer_size(settings->pix_fmt, settings->width, settings->height,
                                              kPlaneAlignment);
    if (size > 0) {
        pictureBuffer.reset(static_cast<uint8_t*>(av_malloc(static_cast<size_t>(size))));
    }
    if (!pictureBuffer) {
        frame.reset();
        return false;
    }
    frame->format = settings->pix_fmt;
    frame->width = settings->width;
    frame->height = settings->height;
    if (av_image_fill_arrays(frame->data, frame->linesize, pictureBuffer.get(), settings->pix_fmt,
                             settings->width, settings->height, kPlaneAlignment) < 0) {
        return false;
    }
    // The picture a refused first image leaves to be encoded: black (Y 16, Cb and Cr 128).
    const int chromaRows = (settings->height + 1) / 2;
    std::memset(frame->data[0], 16, static_cast<size_t>(frame->linesize[0]) * settings->height);
    std::memset(frame->data[1], 128, static_cast<size_t>(frame->linesize[1]) * chromaRows);
    std::memset(frame->data[2], 128, static_cast<size_t>(frame->linesize[2]) * chromaRows);
    return true;
}

void QVideoEncoder::freeFrame() {
    frame.reset();
    pictureBuffer.reset();
}

bool QVideoEncoder::convertImage_sws(const QImage& image) {
    if (static_cast<unsigned>(image.width()) != width ||
        static_cast<unsigned>(image.height()) != height) {
        std::printf("Wrong image size!\n");
        return false;
    }
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32) {
        std::printf("Wrong image format\n");
        return false;
    }
    // Both image formats hold one 32-bit ARGB word a pixel in host byte order.
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    scalerContext.reset(sws_getCachedContext(scalerContext.release(), w, h, AV_PIX_FMT_RGB32, w, h,
                                             AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr,
                                             nullptr));
    if (!scalerContext) {
        std::printf("Cannot initialize the conversion context\n");
        return false;
    }
    const uint8_t* source[4] = {image.constBits(), nullptr, nullptr, nullptr};
    const int sourceStride[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
    sws_scale(scalerContext.get(), source, sourceStride, 0, h, frame->data, frame->linesize);
    return true;
}

int QVideoEncoder::encodeImage(const QImage& image) {
    return encodeImage_p(image, false, 0);
}

int QVideoEncoder::encodeImagePts(const QImage& image, unsigned pts) {
    return encodeImage_p(image, true, pts);
}

int QVideoEncoder::encodeImage_p(const QImage& image, bool customPts, unsigned pts) {
    if (!isOk()) {
        return -1;
    }
    // A refused image is reported by the conversion; the previous picture is encoded again.
    convertImage_sws(image);
    frame->pts = customPts ? static_cast<int64_t>(pts) : nextPts;
    nextPts = frame->pts + 1;
    const int written = encodeAndWrite(frame.get());
    if (++framesSinceFlush >= framesPerFlush) {
        flushToFile();
    }
    return written;
}

void QVideoEncoder::flushToFile() {
    // The container library keeps what it writes in a buffer of its own, hundreds of kilobytes,
    // and hands it to the file only when that is full.
    if (formatContext->pb != nullptr) {
        avio_flush(formatContext->pb);
    }
    framesSinceFlush = 0;
}

int QVideoEncoder::encodeAndWrite(const AVFrame* input) {
    if (avcodec_send_frame(codecContext.get(), input) < 0) {
        return -1;
    }
    int written = 0;
    for (;;) {
        const int received = avcodec_receive_packet(codecContext.get(), packet.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
            return written;
        }
        if (received < 0) {
            return -1;
        }
        written += packet->size;
        av_packet_rescale_ts(packet.get(), codecContext->time_base, videoStream->time_base);
        packet->stream_index = videoStream->index;
        // The container takes the packet's data and leaves the packet empty for the next one.
        if (av_interleaved_write_frame(formatContext.get(), packet.get()) < 0) {
            av_packet_unref(packet.get());
            return -1;
        }
    }
}

bool QVideoEncoder::close() {
    if (!isOk()) {
        return false;
    }
    // The codec may still hold frames: drain it so that they reach the file.
    bool finished = encodeAndWrite(nullptr) >= 0;
    finished = av_write_trailer(formatContext.get()) >= 0 && finished;
    if ((outputFormat->flags & AVFMT_NOFILE) == 0) {
        finished = avio_closep(&formatContext->pb) >= 0 && finished;
    }
    releaseFile();
    return finished;
}

void QVideoEncoder::releaseFile() {
    freeFrame();
    freeOutputBuf();
    codecContext.reset();
    formatContext.reset();
    scalerContext.reset();
    outputFormat = nullptr;
    videoStream = nullptr;
    codec = nullptr;
    ok = false;
}
