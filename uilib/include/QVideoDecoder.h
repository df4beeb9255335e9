// Video-file reader: decodes the first video stream of a file frame by frame into RGB QImage
// frames, seeks by time or by time-stamp position and reports the file's length. Positions are
// in the stream's time-stamp units (frame numbers for AVI), times in milliseconds.
//
// Not thread-safe: one decoder is used from one thread at a time.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>

#include "FFmpegHandles.h"
#include "kxUiExport.h"

struct AVCodec;

class KXUI_API QVideoDecoder {
public:
    QVideoDecoder();
    explicit QVideoDecoder(QString file);

protected:
    // (The protected virtual operations come first: the virtual operations keep their
    // published order.)
    virtual bool initCodec();
    virtual void InitVars();
    // Prints the container description on standard output, one line each: the head, the
    // duration, the start (when the container gives one), the bit rate, the programs, the
    // metadata and AV_TIME_BASE.
    virtual void dumpFormat(AVFormatContext* context, int index, const char* url, int isOutput);
    // Writes "frame<index>.ppm" from a packed 24-bit RGB frame.
    virtual void saveFramePPM(AVFrame* frame, int width, int height, int index);
    // Decodes up to the frame at position (-1: the next frame) and keeps it as the last image.
    virtual bool decodeSeekFrame(int64_t position);

public:
    virtual ~QVideoDecoder();
    // The decoder owns its open file; two copies would release the same file.
    QVideoDecoder(const QVideoDecoder&) = delete;
    QVideoDecoder& operator=(const QVideoDecoder&) = delete;

    virtual bool openFile(QString filename);
    virtual void close();
    // The last decoded image and its bookkeeping (times in ms, positions in time-stamp units);
    // false, with a null image, when no frame has been decoded since the last open or seek, or
    // the last step or seek found none (the end of the file). Pointers may be null.
    virtual bool getFrame(QImage& img, int* desiredFrameTime = nullptr, int* frameTime = nullptr,
                          int* desiredFrameNumber = nullptr, int* frameNumber = nullptr);
    // Decodes the next picture of the stream, whatever its position (a step of one position
    // unit would repeat a picture where the time base is finer than the frame rate).
    virtual bool seekNextFrame();
    virtual bool seekMs(int ts);
    // Decodes the first picture at or after frame; false (not a non-zero code) when the
    // container cannot seek there.
    virtual bool seekFrame(int64_t frame);
    virtual int getVideoLengthMs();
    virtual bool isOk();

private:
    bool convertLastFrame();
    // Decodes up to the frame at position (-1: the next one) and converts it; false at the end
    // of the file or on error, possibly after frames passed over on the way.
    bool decodeUpTo(int64_t position);
    // After a failed decode or a seek: no picture is shown until the next one is decoded, and
    // the positions decoded so far say nothing about the pictures to come.
    void forgetShownFrame();
    // Takes the next picture from the codec, feeding it packets; false at the end or on error.
    bool receiveFrame();
    int64_t positionToMs(int64_t position) const;
    // True when position lies after the frame before the last and at or before the last one,
    // both decoded since the last open or seek, so the last picture is the one to show.
    bool shownByLastFrame(int64_t position) const;

    kxui::InputFormatHandle formatContext;
    int videoStream = -1;
    kxui::CodecContextHandle codecContext;
    const AVCodec* codec = nullptr;
    kxui::FrameHandle frame;
    kxui::FrameHandle frameRGB;
    kxui::PacketHandle packet;
    kxui::BufferHandle buffer;
    int numBytes = 0;
    bool ok = false;
    QImage lastFrame;
    int lastLastFrameTime = 0;
    int lastFrameTime = 0;
    int64_t lastLastFrameNumber = 0;
    int64_t lastFrameNumber = 0;
    int desiredFrameTime = 0;
    int64_t desiredFrameNumber = 0;
    bool lastFrameOk = false;
    // Frames decoded since the last open or seek, counted up to 2: the interval between the
    // last two positions holds only once both come from after the seek.
    int framesSinceSeek = 0;
    kxui::ScalerHandle scalerContext;
    // The file has no more packets and the codec was told so; it gives out what it still holds.
    bool draining = false;
};
