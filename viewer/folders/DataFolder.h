// A data folder: where photos and recordings go, and the names they get. Paths are relative to
// the working directory or absolute, with the native separator. References taken in the default
// folder go beside it ("ImageData/Reference"), in any other folder below it ("<folder>/Reference").
#pragma once

#include <QDateTime>
#include <QString>

namespace hv {

class DataFolder {
public:
    // "ImageData".
    static QString root();
    // "ImageData/default".
    static QString defaultRelative();
    // The working directory followed by "/ImageData/default".
    static QString defaultAbsolute();

    explicit DataFolder(QString path);

    const QString& path() const { return m_path; }
    // The default folder, written relative or absolute.
    bool isDefault() const;
    QString referenceFolder() const;
    // "<folder>/Img MM-dd-yyyy hh.mm [count].png".
    QString photoName(const QDateTime& at, int count) const;
    // "<reference folder>/Ref MM-dd-yyyy hh.mm [count].png".
    QString referenceName(const QDateTime& at, int count) const;
    // "<folder>/Vid MM-dd-yyyy hh.mm.ss.avi".
    QString videoName(const QDateTime& at) const;

private:
    QString m_path;
};

}  // namespace hv
