#include "QVideoDecoder.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "FFmpegBanner.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace {

// A damaged file may claim any picture size; larger ones are refused before anything is
// allocated for them.
constexpr int kMaxSide = 8192;
constexpr int64_t kMaxPixels = 4096 * 4096;

int clampToInt(int64_t value) {
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

}  // namespace

QVideoDecoder::QVideoDecoder() {
    InitVars();
    initCodec();
}

QVideoDecoder::QVideoDecoder(QString file) : QVideoDecoder() {
    openFile(file);
}

QVideoDecoder::~QVideoDecoder() {
    QVideoDecoder::close();
}

bool QVideoDecoder::initCodec() {
    kxui::FFmpegBanner::print();
    return true;
}

void QVideoDecoder::InitVars() {
    videoStream = -1;
    codec = nullptr;
    numBytes = 0;
    ok = false;
    lastLastFrameTime = lastFrameTime = INT_MIN;
    lastLastFrameNumber = lastFrameNumber = 0;
    desiredFrameTime = 0;
    desiredFrameNumber = 0;
    lastFrameOk = false;
    framesSinceSeek = 0;
    draining = false;
}

void QVideoDecoder::close() {
    if (!ok && !formatContext) {
        return;
    }
    scalerContext.reset();
    buffer.reset();
    packet.reset();
    frameRGB.reset();
    frame.reset();
    codecContext.reset();
    formatContext.reset();
    InitVars();
}

bool QVideoDecoder::isOk() {
    return ok;
}

bool QVideoDecoder::openFile(QString filename) {
    close();
    InitVars();
    const QByteArray name = filename.toUtf8();
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, name.constData(), nullptr, nullptr) != 0) {
        return false;
    }
    formatContext.reset(context);
    if (avformat_find_stream_info(context, nullptr) < 0) {
        close();
        return false;
    }
    dumpFormat(context, 0, name.constData(), 0);

    for (unsigned i = 0; i < context->nb_streams; ++i) {
        if (context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            videoStream = static_cast<int>(i);
            break;
        }
    }
    if (videoStream < 0) {
        close();
        return false;
    }
    const AVStream* stream = context->streams[videoStream];
    codec = avcodec_find_decoder(stream->codecpar->codec_id);
    codecContext.reset(avcodec_alloc_context3(codec));
    if (codec == nullptr || !codecContext ||
        avcodec_parameters_to_context(codecContext.get(), stream->codecpar) < 0) {
        close();
        return false;
    }
    codecContext->pkt_timebase = stream->time_base;
    const int width = codecContext->width;
    const int height = codecContext->height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        int64_t{width} * height > kMaxPixels ||
        avcodec_open2(codecContext.get(), codec, nullptr) < 0) {
        close();
        return false;
    }
    if (codecContext->time_base.num > 1000 && codecContext->time_base.den == 1) {
        codecContext->time_base.den = 1000;
    }

    frame.reset(av_frame_alloc());
    frameRGB.reset(av_frame_alloc());
    packet.reset(av_packet_alloc());
    numBytes = av_image_get_buffer_size(AV_PIX_FMT_RGB24, width, height, 1);
    if (numBytes > 0) {
        buffer.reset(static_cast<uint8_t*>(av_malloc(static_cast<size_t>(numBytes))));
    }
    if (!frame || !frameRGB || !packet || !buffer) {
        close();
        return false;
    }
    av_image_fill_arrays(frameRGB->data, frameRGB->linesize, buffer.get(), AV_PIX_FMT_RGB24, width,
                         height, 1);
    frameRGB->width = width;
    frameRGB->height = height;
    ok = true;
    return true;
}

int64_t QVideoDecoder::positionToMs(int64_t position) const {
    return av_rescale_q(position, formatContext->streams[videoStream]->time_base,
                        AVRational{1, 1000});
}

bool QVideoDecoder::receiveFrame() {
    for (;;) {
        const int received = avcodec_receive_frame(codecContext.get(), frame.get());
        if (received == 0) {
            return true;
        }
        if (received != AVERROR(EAGAIN) || draining) {
            return false;
        }
        if (av_read_frame(formatContext.get(), packet.get()) < 0) {
            // The end of the file, or a part that cannot be read: the codec gives out the
            // pictures it still holds, then reports its end.
            draining = true;
            avcodec_send_packet(codecContext.get(), nullptr);
            continue;
        }
        if (packet->stream_index == videoStream) {
            // A damaged packet is passed over; decoding goes on with the next one.
            avcodec_send_packet(codecContext.get(), packet.get());
        }
        av_packet_unref(packet.get());
    }
}

bool QVideoDecoder::shownByLastFrame(int64_t position) const {
    return lastFrameOk && framesSinceSeek >= 2 && position > lastLastFrameNumber &&
           position <= lastFrameNumber;
}

bool QVideoDecoder::decodeSeekFrame(int64_t position) {
    if (!ok) {
        return false;
    }
    if (position != -1 && shownByLastFrame(position)) {
        desiredFrameTime = clampToInt(positionToMs(position));
        return true;
    }
    if (decodeUpTo(position)) {
        return true;
    }
    forgetShownFrame();
    return false;
}

void QVideoDecoder::forgetShownFrame() {
    lastFrame = QImage();
    lastFrameOk = false;
    framesSinceSeek = 0;
}

bool QVideoDecoder::decodeUpTo(int64_t position) {
    // Every pass takes a picture or a packet, so the loop ends with the file.
    while (receiveFrame()) {
        int64_t current = frame->pkt_dts;
        if (current == AV_NOPTS_VALUE) {
            current = frame->best_effort_timestamp;
        }
        if (current == AV_NOPTS_VALUE) {
            current = lastFrameOk ? lastFrameNumber + 1 : 0;
        }
        lastLastFrameTime = lastFrameTime;
        lastFrameTime = clampToInt(positionToMs(current));
        lastLastFrameNumber = lastFrameNumber;
        lastFrameNumber = current;
        lastFrameOk = true;
        if (framesSinceSeek < 2) {
            ++framesSinceSeek;
        }
        if (position == -1 || current >= position) {
            const bool converted = convertLastFrame();
            av_frame_unref(frame.get());
            if (!converted) {
                return false;
            }
            desiredFrameNumber = position == -1 ? current : position;
            desiredFrameTime = clampToInt(positionToMs(desiredFrameNumber));
            return true;
        }
        av_frame_unref(frame.get());
    }
    return false;
}

bool QVideoDecoder::convertLastFrame() {
    const int width = frameRGB->width;
    const int height = frameRGB->height;
    // The picture is brought to the size the file was opened with, should a damaged stream
    // change its size on the way.
    scalerContext.reset(sws_getCachedContext(scalerContext.release(), frame->width, frame->height,
                                             static_cast<AVPixelFormat>(frame->format), width,
                                             height, AV_PIX_FMT_RGB24, SWS_BICUBIC, nullptr,
                                             nullptr, nullptr));
    if (!scalerContext) {
        std::printf("Cannot initialize the conversion context!\n");
        return false;
    }
    sws_scale(scalerContext.get(), frame->data, frame->linesize, 0, frame->height, frameRGB->data,
              frameRGB->linesize);
    QImage image(width, height, QImage::Format_RGB888);
    if (image.isNull()) {
        return false;
    }
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        std::memcpy(image.scanLine(y), frameRGB->data[0] + y * frameRGB->linesize[0], rowBytes);
    }
    lastFrame = image;
    return true;
}

bool QVideoDecoder::seekNextFrame() {
    // The next picture of the stream, whatever its position: stepping the desired position by
    // one unit would give the same picture again and again where the time base is finer than
    // the frame rate (90 kHz in MPEG streams).
    return decodeSeekFrame(-1);
}

bool QVideoDecoder::seekFrame(int64_t position) {
    if (!ok) {
        return false;
    }
    if (shownByLastFrame(position)) {
        desiredFrameNumber = position;
        return decodeSeekFrame(position);
    }
    // The picture from before the seek is not the one asked for, whether or not it is found.
    forgetShownFrame();
    if (avformat_seek_file(formatContext.get(), videoStream, 0, position, position,
                           AVSEEK_FLAG_FRAME) < 0) {
        return false;
    }
    avcodec_flush_buffers(codecContext.get());
    draining = false;
    desiredFrameNumber = position;
    return decodeSeekFrame(position);
}

bool QVideoDecoder::seekMs(int ts) {
    if (!ok) {
        return false;
    }
    const AVRational base = formatContext->streams[videoStream]->time_base;
    // The frame shown at that time: positions are rounded down.
    const int64_t position = av_rescale_rnd(ts, base.den, int64_t{base.num} * 1000, AV_ROUND_DOWN);
    desiredFrameNumber = position;
    return seekFrame(position);
}

bool QVideoDecoder::getFrame(QImage& img, int* desiredFrameTimeOut, int* frameTimeOut,
                             int* desiredFrameNumberOut, int* frameNumberOut) {
    img = lastFrame;
    if (desiredFrameTimeOut != nullptr) {
        *desiredFrameTimeOut = desiredFrameTime;
    }
    if (frameTimeOut != nullptr) {
        *frameTimeOut = lastFrameTime;
    }
    if (desiredFrameNumberOut != nullptr) {
        *desiredFrameNumberOut = clampToInt(desiredFrameNumber);
    }
    if (frameNumberOut != nullptr) {
        *frameNumberOut = clampToInt(lastFrameNumber);
    }
    return lastFrameOk;
}

int QVideoDecoder::getVideoLengthMs() {
    if (!ok) {
        return -1;
    }
    dumpFormat(formatContext.get(), 0, "test video", 0);
    const int64_t duration = formatContext->duration;
    if (duration == AV_NOPTS_VALUE || duration < 0) {
        return -1;  // the file does not say
    }
    return clampToInt((duration / 1000000) * 1000 + (duration % 1000000) / 1000);
}

void QVideoDecoder::dumpFormat(AVFormatContext* context, int index, const char* url, int isOutput) {
    const char* formatName = isOutput ? context->oformat->name : context->iformat->name;
    std::printf("%s #%d, %s,\n %s '%s':\n", isOutput ? "Output" : "Input", index, formatName,
                isOutput ? "to" : "from", url);
    if (context->duration != AV_NOPTS_VALUE && context->duration >= 0) {
        const int64_t seconds = context->duration / AV_TIME_BASE;
        const int64_t hundredths = (context->duration % AV_TIME_BASE) / (AV_TIME_BASE / 100);
        std::printf("%02d:%02d:%02d.%02d\n", clampToInt(seconds / 3600),
                    static_cast<int>((seconds / 60) % 60), static_cast<int>(seconds % 60),
                    static_cast<int>(hundredths));
    } else {
        std::printf("N/A\n");
    }
    // A container that gives no start time has no start line.
    if (context->start_time != AV_NOPTS_VALUE) {
        const int64_t start = context->start_time;
        // Seconds and microseconds are printed as magnitudes, so the sign goes in front.
        std::printf("%s%d.%06d\n", start < 0 ? "-" : "",
                    clampToInt(std::llabs(start / AV_TIME_BASE)),
                    static_cast<int>(std::llabs(start % AV_TIME_BASE)));
    }
    if (context->bit_rate > 0) {
        std::printf("%d kb/s\n", clampToInt(context->bit_rate / 1000));
    } else {
        std::printf("N/A\n");
    }
    if (context->nb_programs == 0) {
        std::printf("No Program\n");
    }
    for (unsigned i = 0; i < context->nb_programs; ++i) {
        const AVDictionaryEntry* name =
            av_dict_get(context->programs[i]->metadata, "name", nullptr, 0);
        std::printf("Program %d %s\n", context->programs[i]->id,
                    name != nullptr ? name->value : "");
    }
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(context->metadata, "", entry, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        std::printf("%-16s: %s\n", entry->key, entry->value);
    }
    std::printf("AV_TIME_BASE: %d\n", AV_TIME_BASE);
}

void QVideoDecoder::saveFramePPM(AVFrame* picture, int width, int height, int index) {
    if (picture == nullptr || picture->data[0] == nullptr || width <= 0 || height <= 0) {
        return;
    }
    char name[32];
    std::snprintf(name, sizeof name, "frame%d.ppm", index);
    FILE* file = std::fopen(name, "wb");
    if (file == nullptr) {
        return;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    for (int y = 0; y < height; ++y) {
        std::fwrite(picture->data[0] + static_cast<ptrdiff_t>(y) * picture->linesize[0], 1,
                    static_cast<size_t>(width) * 3, file);
    }
    std::fclose(file);
}
