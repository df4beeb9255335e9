// What an inspection photo or recording records about how it was taken: when, by which board
// (model label, serial number, firmware versions) and under what light. Photos carry it as PNG
// text chunks, recordings as their container's title and comment; the review viewer shows it
// beside the picture.
#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

namespace hv {

class CaptureContext {
public:
    // PNG text keywords, in the order they are written.
    static const QString kCreationTime;
    static const QString kSoftware;
    static const QString kSource;
    static const QString kSerialNumber;
    static const QString kFpgaVersion;
    static const QString kMcuVersion;
    static const QString kIllumination;
    static const QString kReference;

    QDateTime captureTime;
    QString modelLabel;
    // Eight hex digits from the manufacturing record; empty when it could not be read.
    QString serialNumber;
    QString fpgaVersion;
    QString mcuVersion;
    // Illumination level in percent (0 to 100).
    int illumination = 0;
    bool reference = false;

    // The text chunks of a photo, keyword and text, in the order above.
    QList<QPair<QString, QString>> pngTexts() const;
    // The recording's title: "<model> <serial> <capture time>".
    QString videoTitle() const;
    // The recording's comment: the same facts as a photo's chunks, "key: value" joined by "; ".
    QString videoComment() const;
};

}  // namespace hv
