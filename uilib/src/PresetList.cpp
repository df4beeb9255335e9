#include "PresetList.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <list>

#include "configDialog.h"

namespace kxui {

namespace {

const std::string kExtension = ".txt";

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool PresetList::isPresetFile(const std::string& fileName) {
    if (fileName.size() <= kExtension.size() || fileName.front() == '.' ||
        !endsWith(fileName, kExtension)) {
        return false;
    }
    const std::string stem = fileName.substr(0, fileName.size() - kExtension.size());
    return !endsWith(stem, ".bak") && !endsWith(stem, "~") &&
           stem.find(".tmp-") == std::string::npos;
}

QStringList PresetList::names(configDialog& dialog, const std::string& folder) {
    std::list<std::string> files;
    dialog.getConfigList(files, folder);
    QStringList names;
    for (const std::string& file : files) {
        if (isPresetFile(file)) {
            names << QString::fromStdString(file.substr(0, file.size() - kExtension.size()));
        }
    }
    return names;
}

void PresetList::fill(QComboBox& combo, configDialog& dialog, const QString& first,
                      const std::string& folder) {
    const QSignalBlocker quiet(&combo);
    combo.clear();
    if (!first.isEmpty()) {
        combo.addItem(first);
    }
    for (const QString& name : names(dialog, folder)) {
        if (name != first) {
            combo.addItem(name);
        }
    }
    combo.setCurrentIndex(combo.count() > 0 ? 0 : -1);
}

}  // namespace kxui
