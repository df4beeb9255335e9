// Saved files for the review's tests: recordings tagged the way the recorder tags them, plain
// pictures, and files that look saved but cannot be read.
#pragma once

#include <QImage>
#include <QString>

#include "CaptureContext.h"

namespace reviewtest {

// Copies the recording source to target (AVI), packet by packet, with the container's title
// and comment set.
bool writeTaggedCopy(const QString& source, const QString& target, const QString& title,
                     const QString& comment);
// A small picture of one colour, 64 x 48.
QImage smallPicture();
// Writes the small picture in the format named (a format Qt writes: "PNG", "JPG").
bool writePicture(const QString& fileName, const char* format);
// Writes text that no picture or video reader takes.
bool writeJunk(const QString& fileName);
// A capture context as the recorder would fill it.
hv::CaptureContext sampleContext();

}  // namespace reviewtest
