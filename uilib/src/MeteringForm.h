// The widgets of the metering dialog, built in code: the preset row, the metering type, mode and
// window, the zone picture with its weight boxes, exposure and gain with their modules, the
// target intensity and its stable range, and the dialog's buttons.
#pragma once

class QCheckBox;
class QComboBox;
class QDialog;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace kxui {

class ZonePicture;

class MeteringForm {
public:
    // Builds the widgets as children of dialog.
    void setupUi(QDialog* dialog);

    QComboBox* presetCombo = nullptr;
    QPushButton* addButton = nullptr;
    QPushButton* importButton = nullptr;
    QComboBox* typeCombo = nullptr;
    QComboBox* modeCombo = nullptr;
    QComboBox* sizeCombo = nullptr;
    QSpinBox* startXSpin = nullptr;
    QSpinBox* startYSpin = nullptr;
    QCheckBox* autoZoneCheck = nullptr;
    ZonePicture* zonePicture = nullptr;
    QLineEdit* exposureEdit = nullptr;
    QLineEdit* gainEdit = nullptr;
    QComboBox* aecModuleCombo = nullptr;
    QComboBox* agcModuleCombo = nullptr;
    QSpinBox* targetSpin = nullptr;
    QCheckBox* autoTargetCheck = nullptr;
    QSpinBox* upperLimitSpin = nullptr;
    QSpinBox* lowerLimitSpin = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* helpButton = nullptr;
    QPushButton* resetButton = nullptr;
    QPushButton* saveButton = nullptr;
};

}  // namespace kxui
