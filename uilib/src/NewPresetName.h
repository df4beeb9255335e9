// Whether a name typed for a new preset may be added: a valid name (PresetName::acceptable)
// that is neither in the preset combo nor the name of a file of the preset's folder.
#pragma once

#include <QString>
#include <string>

class QComboBox;
class QWidget;

namespace kxui {

class NewPresetName {
public:
    // True when name may be added; otherwise shows why not in a warning box titled title.
    static bool check(QWidget* parent, const QString& title, const QString& name,
                      const QComboBox& presets, const std::string& folder);
};

}  // namespace kxui
