#include "PhotoWriter.h"

#include <QFile>
#include <QImageWriter>

namespace hv {

namespace {

// Far more photos than a minute can hold under one name.
constexpr int kMaxVariants = 10000;

}  // namespace

QString PhotoWriter::variant(const QString& wantedName, int n) {
    const int dot = wantedName.lastIndexOf(QLatin1Char('.'));
    const int slash = wantedName.lastIndexOf(QLatin1Char('/'));
    const int split = dot > slash ? dot : wantedName.size();
    return wantedName.left(split) + QStringLiteral(" (%1)").arg(n) + wantedName.mid(split);
}

QString PhotoWriter::write(const QImage& image, const QString& wantedName,
                           const CaptureContext& context, QString* error) {
    QImage photo = image.convertToFormat(QImage::Format_RGB32);
    for (const auto& [key, text] : context.pngTexts()) {
        photo.setText(key, text);
    }
    for (int n = 1; n <= kMaxVariants; ++n) {
        const QString name = n == 1 ? wantedName : variant(wantedName, n);
        QFile file(name);
        // NewOnly: the name is taken only if nobody has it, in one step.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (file.exists()) {
                continue;
            }
            if (error) {
                *error = file.errorString();
            }
            return {};
        }
        QImageWriter writer(&file, "png");
        if (writer.write(photo) && file.flush()) {
            file.close();
            return name;
        }
        if (error) {
            *error = writer.error() != QImageWriter::UnknownError ? writer.errorString()
                                                                  : file.errorString();
        }
        file.remove();
        return {};
    }
    if (error) {
        *error = QStringLiteral("every variant of the name is taken");
    }
    return {};
}

}  // namespace hv
