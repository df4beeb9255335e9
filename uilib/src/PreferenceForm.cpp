#include "PreferenceForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "PreferenceRecord.h"

namespace kxui {

namespace {

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

// One area: its caption, preset combo and tool button in row of grid.
void addArea(QGridLayout* grid, int row, const char* caption, QComboBox* combo, QPushButton* tool) {
    grid->addWidget(new QLabel(caption), row, 0);
    grid->addWidget(combo, row, 1);
    if (tool != nullptr) {
        grid->addWidget(tool, row, 2);
    }
}

}  // namespace

void PreferenceForm::setupUi(QDialog* dialog) {
    presetCombo = named(new QComboBox, "presetCombo");
    addButton = named(new QPushButton("Add New Preference"), "addButton");
    colorCombo = named(new QComboBox, "colorCombo");
    colorToolButton = named(new QPushButton("Pop-up Color Tools"), "colorToolButton");
    aecAgcCombo = named(new QComboBox, "aecAgcCombo");
    meteringToolButton =
        named(new QPushButton("Pop-up AEC/AGC Metering Tool"), "meteringToolButton");
    illuminationCombo = named(new QComboBox, "illuminationCombo");
    illuminationToolButton =
        named(new QPushButton("Pop-up Illumination Tools"), "illuminationToolButton");
    gammaCombo = named(new QComboBox, "gammaCombo");
    gammaToolButton = named(new QPushButton("Pop-up Gamma Tools"), "gammaToolButton");
    sharpnessCombo = named(new QComboBox, "sharpnessCombo");
    sharpnessToolButton = named(new QPushButton("Pop-up Sharpness Tools"), "sharpnessToolButton");
    flatFieldCheck = named(new QCheckBox("Flat Field Correction"), "flatFieldCheck");
    flatFieldSetupButton = named(new QPushButton("Setup"), "flatFieldSetupButton");
    geometricCheck = named(new QCheckBox("Geometric Correction"), "geometricCheck");
    geometricSetupButton = named(new QPushButton("Setup"), "geometricSetupButton");
    motionCheck = named(new QCheckBox("Motion Compensation"), "motionCheck");
    medianCheck = named(new QCheckBox("Median Filter"), "medianCheck");
    hdmiCheck = named(new QCheckBox("HDMI Output"), "hdmiCheck");
    channelCombo = named(new QComboBox, "channelCombo");
    channelCombo->addItem("Image Data", PreferenceRecord::kImageData);
    channelCombo->addItem("Test Pattern", PreferenceRecord::kPattern);
    channelCombo->addItem("Colour Bar (MCU)", PreferenceRecord::kColorBarMcu);
    channelCombo->addItem("Colour Bar (X20)", PreferenceRecord::kColorBarX20);
    okButton = named(new QPushButton("OK"), "okButton");
    cancelButton = named(new QPushButton("Cancel"), "cancelButton");
    saveButton = named(new QPushButton("Save"), "saveButton");
    okButton->setDefault(true);

    auto* presetRow = new QHBoxLayout;
    presetRow->addWidget(new QLabel("Preset Preference"));
    presetRow->addWidget(presetCombo, 1);
    presetRow->addWidget(addButton);

    auto* areas = new QGridLayout;
    addArea(areas, 0, "Presetted Color Preference", colorCombo, colorToolButton);
    addArea(areas, 1, "Presetted AEC/AGC Metering", aecAgcCombo, meteringToolButton);
    addArea(areas, 2, "Presetted Illumination Preference", illuminationCombo,
            illuminationToolButton);
    addArea(areas, 3, "Presetted Gamma Preference", gammaCombo, gammaToolButton);
    addArea(areas, 4, "Presetted Sharpness Preference", sharpnessCombo, sharpnessToolButton);
    areas->setColumnStretch(1, 1);
    auto* areaBox = new QGroupBox("Image Processing");
    areaBox->setLayout(areas);

    auto* options = new QGridLayout;
    options->addWidget(flatFieldCheck, 0, 0);
    options->addWidget(flatFieldSetupButton, 0, 1);
    options->addWidget(geometricCheck, 1, 0);
    options->addWidget(geometricSetupButton, 1, 1);
    options->addWidget(motionCheck, 2, 0);
    options->addWidget(medianCheck, 3, 0);
    options->addWidget(hdmiCheck, 4, 0);
    options->addWidget(new QLabel("Channel Output"), 5, 0);
    options->addWidget(channelCombo, 5, 1);
    auto* optionBox = new QGroupBox("Options");
    optionBox->setLayout(options);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto* page = new QVBoxLayout(dialog);
    page->addLayout(presetRow);
    page->addWidget(areaBox);
    page->addWidget(optionBox);
    page->addLayout(buttons);
}

}  // namespace kxui
