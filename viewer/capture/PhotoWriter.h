// Writes a photo as a PNG file with its capture context in text chunks, never over an existing
// file: when the name is taken, " (2)", " (3)", ... go before ".png". A write that fails leaves
// no file behind.
#pragma once

#include <QImage>
#include <QString>

#include "CaptureContext.h"

namespace hv {

class PhotoWriter {
public:
    // Writes image (converted to RGB32) under wantedName or the first free variant of it and
    // returns the name used; empty on failure, with the reason in *error when given.
    static QString write(const QImage& image, const QString& wantedName,
                         const CaptureContext& context, QString* error = nullptr);
    // wantedName with " (n)" before its ending (n >= 2).
    static QString variant(const QString& wantedName, int n);
};

}  // namespace hv
