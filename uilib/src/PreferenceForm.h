// The widgets of the preference dialog, built in code: the preset row, one row per image
// processing area (a preset combo and the button of its tool), the on/off options, the channel
// output and the dialog's buttons.
#pragma once

class QCheckBox;
class QComboBox;
class QDialog;
class QPushButton;

namespace kxui {

class PreferenceForm {
public:
    // Builds the widgets as children of dialog.
    void setupUi(QDialog* dialog);

    QComboBox* presetCombo = nullptr;
    QPushButton* addButton = nullptr;
    QComboBox* colorCombo = nullptr;
    QPushButton* colorToolButton = nullptr;
    QComboBox* aecAgcCombo = nullptr;
    QPushButton* meteringToolButton = nullptr;
    QComboBox* illuminationCombo = nullptr;
    QPushButton* illuminationToolButton = nullptr;
    QComboBox* gammaCombo = nullptr;
    QPushButton* gammaToolButton = nullptr;
    QComboBox* sharpnessCombo = nullptr;
    QPushButton* sharpnessToolButton = nullptr;
    QCheckBox* flatFieldCheck = nullptr;
    QPushButton* flatFieldSetupButton = nullptr;
    QCheckBox* geometricCheck = nullptr;
    QPushButton* geometricSetupButton = nullptr;
    QCheckBox* motionCheck = nullptr;
    QCheckBox* medianCheck = nullptr;
    QCheckBox* hdmiCheck = nullptr;
    // The channel outputs in the order 1, 2, 4, 8 (the item data hold the numbers).
    QComboBox* channelCombo = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* saveButton = nullptr;
};

}  // namespace kxui
