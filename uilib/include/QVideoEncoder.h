// Video-file writer: turns a stream of QImage frames into a compressed video file through FFmpeg.
// The container follows the file name's extension (".avi" gives AVI with MPEG-4 video); a name no
// container claims is written as an MPEG stream. Diagnostics go to standard output.
//
// Not thread-safe: one encoder is used from one thread at a time. FFmpeg may run worker threads
// of its own inside the codec.
#pragma once

#include <QImage>
#include <QMap>
#include <QString>
#include <cstdint>

#include "FFmpegHandles.h"
#include "kxUiExport.h"

struct AVCodec;
struct AVOutputFormat;
struct AVStream;

class KXUI_API QVideoEncoder {
public:
    QVideoEncoder();

protected:
    // The one encoding routine behind encodeImage and encodeImagePts: the number of encoded
    // bytes written for this call (0 when the codec kept the frame back), -1 when no file is
    // open or the frame could not be encoded or written. (Declared first: the virtual
    // operations keep their published order.)
    virtual int encodeImage_p(const QImage& image, bool customPts = false, unsigned pts = 0);

public:
    virtual ~QVideoEncoder();
    // An encoder owns its open file; two copies would finish and release the same file.
    QVideoEncoder(const QVideoEncoder&) = delete;
    QVideoEncoder& operator=(const QVideoEncoder&) = delete;

    // Finishes the file: the frames the codec still holds are written, then the trailer.
    // False when no file was open, and also when finishing it failed (a file that may be
    // incomplete is not reported as written); it is closed either way.
    virtual bool close();
    // One frame with consecutive time stamps (one unit of 1/fps s after the previous frame).
    virtual int encodeImage(const QImage& image);
    // One frame with the presentation time stamp pts, in units of 1/fps s.
    virtual int encodeImagePts(const QImage& image, unsigned pts);
    virtual bool isOk();

    // Opens fileName for writing; frames must then be QImage::Format_RGB32 or Format_ARGB32
    // images of width x height pixels, both multiples of 8. A file still open is finished first.
    // On failure the encoder is left closed with nothing held. The header, and then every
    // second of video (fps frames), is written through to the file, so a recording that is
    // never closed (the program killed) loses at most its last second.
    bool createFile(QString fileName, unsigned width, unsigned height, unsigned bitrate,
                    unsigned gop, unsigned fps = 25);
    // Container metadata for the files created from now on, written into their header (AVI
    // keeps "title" and "comment" as its INFO tags). An empty value removes the key. Keys and
    // values are written as UTF-8.
    void setMetadata(const QString& key, const QString& value);

protected:
    unsigned getWidth() const { return width; }
    unsigned getHeight() const { return height; }
    bool isSizeValid();
    bool initCodec();
    bool initOutputBuf();
    void freeOutputBuf();
    // Allocates the YUV 4:2:0 frame the images are converted into, filled with black.
    bool initFrame();
    void freeFrame();
    bool convertImage_sws(const QImage& image);

private:
    void initVars();
    // Sends frame (null: end of stream) to the codec and writes every packet it gives back.
    // Returns the bytes written, or -1.
    int encodeAndWrite(const AVFrame* frame);
    void releaseFile();
    // Hands what the container has written so far to the file.
    void flushToFile();

    unsigned width = 0;
    unsigned height = 0;
    unsigned bitrate = 0;
    unsigned gop = 0;
    bool ok = false;
    kxui::OutputFormatHandle formatContext;
    const AVOutputFormat* outputFormat = nullptr;
    kxui::CodecContextHandle codecContext;
    AVStream* videoStream = nullptr;  // owned by formatContext
    const AVCodec* codec = nullptr;
    kxui::FrameHandle frame;
    kxui::BufferHandle pictureBuffer;
    // Receives the encoded frames; the codec sizes its data.
    kxui::PacketHandle packet;
    kxui::ScalerHandle scalerContext;
    // Time stamp of the next frame given without one of its own.
    int64_t nextPts = 0;
    // Frames from one write-through to the file to the next (one second), and since the last.
    unsigned framesPerFlush = 0;
    unsigned framesSinceFlush = 0;
    // What setMetadata gave, by key.
    QMap<QString, QString> metadata;
};
