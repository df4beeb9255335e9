#include "PresetFile.h"

#include <QDir>
#include <cstring>

#include "PresetFolders.h"
#include "UiPrompter.h"
#include "Utf8Cut.h"

namespace kxui {

bool PresetFile::save(configDialog& dialog, const std::vector<ConfigTable::Entry>& table,
                      const std::string& folder, const QString& name, const QString& title,
                      const std::string& separator) {
    const std::string file = PresetFolders::presetFile(folder, name.toStdString());
    QDir().mkpath(QString::fromStdString(folder));
    if (ConfigTable::save(dialog, table, file, separator) > 0) {
        return true;
    }
    UiPrompter::current().warning(
        &dialog, title,
        QString("Cannot save the preset <%1> to <%2>.").arg(name, QString::fromStdString(file)));
    return false;
}

void PresetFile::setText(char* buffer, size_t size, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    const size_t length =
        Utf8Cut::length(bytes.constData(), static_cast<size_t>(bytes.size()), size - 1);
    std::memcpy(buffer, bytes.constData(), length);
    buffer[length] = '\0';
}

}  // namespace kxui
