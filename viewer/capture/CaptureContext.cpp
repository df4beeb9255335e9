#include "CaptureContext.h"

#include <QStringList>

#include "ViewerVersion.h"

namespace hv {

const QString CaptureContext::kCreationTime = QStringLiteral("Creation Time");
const QString CaptureContext::kSoftware = QStringLiteral("Software");
const QString CaptureContext::kSource = QStringLiteral("Source");
const QString CaptureContext::kSerialNumber = QStringLiteral("Serial Number");
const QString CaptureContext::kFpgaVersion = QStringLiteral("FPGA Version");
const QString CaptureContext::kMcuVersion = QStringLiteral("MCU Version");
const QString CaptureContext::kIllumination = QStringLiteral("Illumination");
const QString CaptureContext::kReference = QStringLiteral("Reference");

namespace {

QString isoTime(const QDateTime& time) {
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

}  // namespace

QList<QPair<QString, QString>> CaptureContext::pngTexts() const {
    return {
        {kCreationTime, isoTime(captureTime)},
        {kSoftware, QStringLiteral("Harnview %1").arg(QString::fromLatin1(ViewerVersion::text()))},
        {kSource, modelLabel},
        {kSerialNumber, serialNumber},
        {kFpgaVersion, fpgaVersion},
        {kMcuVersion, mcuVersion},
        {kIllumination, QStringLiteral("%1%").arg(illumination)},
        {kReference, reference ? QStringLiteral("yes") : QStringLiteral("no")},
    };
}

QString CaptureContext::videoTitle() const {
    return QStringList{modelLabel, serialNumber, isoTime(captureTime)}.join(QLatin1Char(' '));
}

QString CaptureContext::videoComment() const {
    QStringList parts;
    for (const auto& [key, text] : pngTexts()) {
        if (key != kReference) {
            parts << key + QStringLiteral(": ") + text;
        }
    }
    return parts.join(QStringLiteral("; "));
}

}  // namespace hv
