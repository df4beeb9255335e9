#include "DataFolder.h"

#include <QDir>

namespace hv {

namespace {

QString photoStem(const QString& prefix, const QDateTime& at, int count) {
    return prefix + QStringLiteral(" ") + at.toString(QStringLiteral("MM-dd-yyyy")) +
           QStringLiteral(" ") + at.toString(QStringLiteral("hh.mm")) +
           QStringLiteral(" [%1]").arg(count) + QStringLiteral(".png");
}

QString joined(const QString& folder, const QString& name) {
    return QDir::toNativeSeparators(folder + QLatin1Char('/') + name);
}

}  // namespace

QString DataFolder::root() {
    return QStringLiteral("ImageData");
}

QString DataFolder::defaultRelative() {
    return QStringLiteral("ImageData/default");
}

QString DataFolder::defaultAbsolute() {
    return QDir::toNativeSeparators(QDir::currentPath() + QLatin1Char('/') + defaultRelative());
}

DataFolder::DataFolder(QString path) : m_path(std::move(path)) {}

bool DataFolder::isDefault() const {
    return QDir::cleanPath(QDir::fromNativeSeparators(m_path)) == defaultRelative() ||
           QDir::cleanPath(QDir(m_path).absolutePath()) ==
               QDir::cleanPath(QDir::fromNativeSeparators(defaultAbsolute()));
}

QString DataFolder::referenceFolder() const {
    return isDefault() ? joined(root(), QStringLiteral("Reference"))
                       : joined(m_path, QStringLiteral("Reference"));
}

QString DataFolder::photoName(const QDateTime& at, int count) const {
    return joined(m_path, photoStem(QStringLiteral("Img"), at, count));
}

QString DataFolder::referenceName(const QDateTime& at, int count) const {
    return joined(referenceFolder(), photoStem(QStringLiteral("Ref"), at, count));
}

QString DataFolder::videoName(const QDateTime& at) const {
    return joined(m_path, QStringLiteral("Vid ") + at.toString(QStringLiteral("MM-dd-yyyy")) +
                              QStringLiteral(" ") + at.toString(QStringLiteral("hh.mm.ss")) +
                              QStringLiteral(".avi"));
}

}  // namespace hv
