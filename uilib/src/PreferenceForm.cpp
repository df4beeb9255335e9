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
#include "PresetFormParts.h"

namespace kxui {

namespace {

using Parts = PresetFormParts;

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
    presetCombo = Parts::named(new QComboBox, "presetCombo");
    addButton = Parts::button("Add New Preference", "addButton");
    colorCombo = Parts::named(new QComboBox, "colorCombo");
    colorToolButton = Parts::button("Pop-up Color Tools", "colorToolButton");
    aecAgcCombo = Parts::named(new QComboBox, "aecAgcCombo");
    meteringToolButton = Parts::button("Pop-up AEC/AGC Metering Tool", "meteringToolButton");
    illuminationCombo = Parts::named(new QComboBox, "illuminationCombo");
    illuminationToolButton = Parts::button("Pop-up Illumination Tools", "illuminationToolButton");
    gammaCombo = Parts::named(new QComboBox, "gammaCombo");
    gammaToolButton = Parts::button("Pop-up Gamma Tools", "gammaToolButton");
    sharpnessCombo = Parts::named(new QComboBox, "sharpnessCombo");
    sharpnessToolButton = Parts::button("Pop-up Sharpness Tools", "sharpnessToolButton");
    flatFieldCheck = Parts::named(new QCheckBox("Flat Field Correction"), "flatFieldCheck");
    flatFieldSetupButton = Parts::button("Setup", "flatFieldSetupButton");
    geometricCheck = Parts::named(new QCheckBox("Geometric Correction"), "geometricCheck");
    geometricSetupButton = Parts::button("Setup", "geometricSetupButton");
    motionCheck = Parts::named(new QCheckBox("Motion Compensation"), "motionCheck");
    medianCheck = Parts::named(new QCheckBox("Median Filter"), "medianCheck");
    hdmiCheck = Parts::named(new QCheckBox("HDMI Output"), "hdmiCheck");
    channelCombo = Parts::named(new QComboBox, "channelCombo");
    channelCombo->addItem("Image Data", PreferenceRecord::kImageData);
    channelCombo->addItem("Test Pattern", PreferenceRecord::kPattern);
    channelCombo->addItem("Colour Bar (MCU)", PreferenceRecord::kColorBarMcu);
    channelCombo->addItem("Colour Bar (X20)", PreferenceRecord::kColorBarX20);
    okButton = Parts::button("OK", "okButton");
    cancelButton = Parts::button("Cancel", "cancelButton");
    saveButton = Parts::button("Save", "saveButton");
    okButton->setDefault(true);

    QHBoxLayout* presetRow = Parts::presetRow("Preset Preference", presetCombo, {addButton});

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

    auto* page = new QVBoxLayout(dialog);
    page->addLayout(presetRow);
    page->addWidget(areaBox);
    page->addWidget(optionBox);
    page->addLayout(Parts::buttonRow({}, {saveButton, okButton, cancelButton}));
}

}  // namespace kxui
