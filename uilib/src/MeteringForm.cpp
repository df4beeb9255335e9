#include "MeteringForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "PresetFormParts.h"
#include "ZonePicture.h"

namespace kxui {

namespace {

// The metering window's start and sizes are within the 400 x 400 picture; the intensities are
// 8-bit levels.
constexpr int kMaxStart = 400;
constexpr int kMaxLevel = 255;

using Parts = PresetFormParts;

QSpinBox* spin(const char* name, int maximum) {
    auto* box = Parts::named(new QSpinBox, name);
    box->setRange(0, maximum);
    return box;
}

QComboBox* combo(const char* name, const QStringList& items) {
    auto* box = Parts::named(new QComboBox, name);
    box->addItems(items);
    return box;
}

QLineEdit* numberEdit(const char* name) {
    auto* edit = Parts::named(new QLineEdit, name);
    auto* validator = new QDoubleValidator(edit);
    validator->setLocale(QLocale::c());
    validator->setDecimals(2);
    edit->setValidator(validator);
    return edit;
}

}  // namespace

void MeteringForm::setupUi(QDialog* dialog) {
    presetCombo = combo("presetCombo", {});
    addButton = Parts::button("Add New Metering Method", "addButton");
    importButton = Parts::button("Import Metering Method", "importButton");
    typeCombo = combo("typeCombo", {"16-Zones", "13-Zones"});
    modeCombo = combo("modeCombo", {"Spot", "Center-Weighted", "Matrix (Evaluative)"});
    sizeCombo =
        combo("sizeCombo", {"16 x 16", "32 x 32", "64 x 64", "100 x 100", "150 x 150", "200 x 200",
                            "250 x 250", "300 x 300", "350 x 350", "400 x 400"});
    startXSpin = spin("startXSpin", kMaxStart);
    startYSpin = spin("startYSpin", kMaxStart);
    autoZoneCheck = Parts::named(new QCheckBox("Assign Weight Automatically"), "autoZoneCheck");
    zonePicture = new ZonePicture;
    exposureEdit = numberEdit("exposureEdit");
    gainEdit = numberEdit("gainEdit");
    aecModuleCombo = combo("aecModuleCombo", {"X20", "X30"});
    agcModuleCombo = combo("agcModuleCombo", {"X20", "X30"});
    targetSpin = spin("targetSpin", kMaxLevel);
    autoTargetCheck =
        Parts::named(new QCheckBox("Set Target Intensity Automatically"), "autoTargetCheck");
    upperLimitSpin = spin("upperLimitSpin", kMaxLevel);
    lowerLimitSpin = spin("lowerLimitSpin", kMaxLevel);
    okButton = Parts::button("OK", "okButton");
    cancelButton = Parts::button("Cancel", "cancelButton");
    helpButton = Parts::button("Help", "helpButton");
    resetButton = Parts::button("Reset", "resetButton");
    saveButton = Parts::button("Save", "saveButton");
    okButton->setDefault(true);

    QHBoxLayout* presetRow = Parts::presetRow("Preset:", presetCombo, {addButton, importButton});

    auto* metering = new QFormLayout;
    metering->addRow("Metering Type:", typeCombo);
    metering->addRow("Metering Mode:", modeCombo);
    metering->addRow("Window Size:", sizeCombo);
    metering->addRow("Start X:", startXSpin);
    metering->addRow("Start Y:", startYSpin);
    metering->addRow("Auto Zone:", autoZoneCheck);
    auto* meteringBox = new QGroupBox("Metering");
    meteringBox->setLayout(metering);

    auto* exposure = new QFormLayout;
    exposure->addRow("Exposure:", exposureEdit);
    exposure->addRow("AEC Module:", aecModuleCombo);
    exposure->addRow("Gain:", gainEdit);
    exposure->addRow("AGC Module:", agcModuleCombo);
    exposure->addRow("Target Intensity:", targetSpin);
    exposure->addRow("Auto Target:", autoTargetCheck);
    exposure->addRow("Upper Limit:", upperLimitSpin);
    exposure->addRow("Lower Limit:", lowerLimitSpin);
    auto* exposureBox = new QGroupBox("Exposure and Gain");
    exposureBox->setLayout(exposure);

    auto* settings = new QVBoxLayout;
    settings->addWidget(meteringBox);
    settings->addWidget(exposureBox);
    settings->addStretch();

    auto* middle = new QHBoxLayout;
    middle->addLayout(settings);
    middle->addWidget(zonePicture, 0, Qt::AlignTop);

    auto* page = new QVBoxLayout(dialog);
    page->addLayout(presetRow);
    page->addLayout(middle);
    page->addLayout(
        Parts::buttonRow({helpButton, resetButton}, {saveButton, okButton, cancelButton}));
}

}  // namespace kxui
