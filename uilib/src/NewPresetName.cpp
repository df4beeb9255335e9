#include "NewPresetName.h"

#include <QComboBox>
#include <QFileInfo>

#include "PresetFolders.h"
#include "PresetName.h"
#include "UiPrompter.h"

namespace kxui {

bool NewPresetName::check(QWidget* parent, const QString& title, const QString& name,
                          const QComboBox& presets, const std::string& folder) {
    if (!PresetName::acceptable(name)) {
        UiPrompter::current().warning(
            parent, title,
            QString("<%1> cannot name a preset: use no blanks, \"/\", \"\\\", \":\" or \"..\".")
                .arg(name));
        return false;
    }
    const QString file =
        QString::fromStdString(PresetFolders::presetFile(folder, name.toStdString()));
    if (presets.findText(name) >= 0 || QFileInfo::exists(file)) {
        UiPrompter::current().warning(parent, title,
                                      QString("A preset named <%1> exists already.").arg(name));
        return false;
    }
    return true;
}

}  // namespace kxui
