// Synthetic frames for the video tests: frame i has a uniform green level of 20 + 4 i over red
// and blue gradients, so a decoded frame tells which frame it was.
#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace uitest {

// Made pixel by pixel: Qt's own format conversion runs on pool threads that the thread
// sanitizer cannot follow inside the uninstrumented Qt library.
QImage syntheticFrame(int index, int width = 400, int height = 400,
                      QImage::Format format = QImage::Format_RGB32);
// The frame number a decoded picture shows (by its mean green level over the centre).
int frameIndexOf(const QImage& picture);
// Mean absolute difference of the R, G and B values of two pictures of one size.
double meanAbsoluteDifference(const QImage& a, const QImage& b);
// The frame number of every picture of a video file, decoded in order; empty when the file
// cannot be opened.
QList<int> decodedFrameIndexes(const QString& fileName);
// The container metadata of a file as libavformat reads it back: "key=value", sorted; the
// name of the writing library, which the muxer adds by itself ("software" in AVI), is left out.
// {"unreadable"} when the file cannot be opened.
QStringList containerMetadata(const QString& fileName);
// Writes count synthetic frames to fileName as 400 x 400, 1 Mbit/s, GOP 20, fps frames/s.
bool writeClip(const QString& fileName, int count, unsigned fps = 25);

}  // namespace uitest
