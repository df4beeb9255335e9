#include "preferenceDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <cstring>

#include "ConfigTable.h"
#include "NewPresetName.h"
#include "PreferenceForm.h"
#include "PreferenceTable.h"
#include "PresetFile.h"
#include "PresetFolders.h"
#include "PresetList.h"
#include "PresetName.h"
#include "UiPrompter.h"
#include "Vocabulary.h"
#include "gammaDialog.h"
#include "meteringDialog.h"

namespace {

const QString kTitle = QStringLiteral("PREFERENCE");
const QString kFirstPreference = QStringLiteral("Pig Lab");
const QString kFirstColor = QStringLiteral("Pig Lung");
const QString kFirstAecAgc = QStringLiteral("Auto");
const QString kFirstIllumination = QStringLiteral("100%");
// Preference presets share their folder with other settings files: a preset names itself.
const char* const kPresetKey = "PREFERENCE_NAME:";
// Keys and values of a preference file are set apart by three tabs.
const std::string kSeparator = "\t\t\t";

const kxui::Vocabulary& channelWords() {
    static const kxui::Vocabulary words{{PreferenceRecord::kImageData, "IMAGEDATA"},
                                        {PreferenceRecord::kPattern, "PATTERN"},
                                        {PreferenceRecord::kColorBarMcu, "COLORBAR_MCU"},
                                        {PreferenceRecord::kColorBarX20, "COLORBAR_X20"}};
    return words;
}

void selectText(QComboBox* combo, const char* text) {
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(combo->findText(QString::fromUtf8(text)));
}

// Shows the area's preset; an area without one (or with one its folder no longer has) gets the
// combo's first item.
void showArea(QComboBox* combo, char* field) {
    selectText(combo, field);
    if (combo->currentIndex() < 0 && combo->count() > 0) {
        const QSignalBlocker quiet(combo);
        combo->setCurrentIndex(0);
        kxui::PresetFile::setText(field, PreferenceRecord::kNameSize, combo->itemText(0));
    }
}

void showCheck(QCheckBox* check, uint8_t value) {
    const QSignalBlocker quiet(check);
    check->setChecked(value != 0);
}

}  // namespace

PreferenceRecord preferenceDialog::s_peData;
preferenceDialog::SettingsTable preferenceDialog::s_peList =
    kxui::PreferenceTable(preferenceDialog::s_peData).entries();
preferenceDialog* preferenceDialog::s_shPreferenceDlg = nullptr;
bool preferenceDialog::s_yInstanceFlag = false;

preferenceDialog::preferenceDialog(QWidget* parent) : configDialog(parent) {
    setWindowTitle("Preference");
}

preferenceDialog::~preferenceDialog() {
    // Destroyed by its parent or by its owner: the next getInstance makes a new one.
    if (s_shPreferenceDlg == this) {
        s_shPreferenceDlg = nullptr;
        s_yInstanceFlag = false;
    }
}

preferenceDialog* preferenceDialog::getInstance(QWidget* parent) {
    if (!s_yInstanceFlag) {
        s_shPreferenceDlg = new preferenceDialog(parent);
        s_yInstanceFlag = true;
    }
    return s_shPreferenceDlg;
}

void preferenceDialog::setupPreferenceDialog() {
    if (!m_form) {
        m_form = std::make_unique<kxui::PreferenceForm>();
        m_form->setupUi(this);
        connectForm();
    }
    fillCombos();
    if (s_peData.name[0] == '\0') {
        // Nothing chosen yet: the first preset, as the combo shows it.
        OnPreferenceSel(0);
        return;
    }
    showRecord();
}

void preferenceDialog::connectForm() {
    kxui::PreferenceForm& f = *m_form;
    using D = preferenceDialog;
    connect(f.okButton, &QPushButton::clicked, this, &D::OnOK);
    connect(f.cancelButton, &QPushButton::clicked, this, &D::OnCancel);
    connect(f.saveButton, &QPushButton::clicked, this, &D::OnSave);
    connect(f.addButton, &QPushButton::clicked, this, &D::OnAddPresetPreferenceButton);
    connect(f.meteringToolButton, &QPushButton::clicked, this, &D::OnMeteringTool);
    connect(f.gammaToolButton, &QPushButton::clicked, this, &D::OnGammaTool);
    connect(f.colorToolButton, &QPushButton::clicked, this, &D::OnColorTool);
    connect(f.sharpnessToolButton, &QPushButton::clicked, this, &D::OnSharpnessTool);
    connect(f.illuminationToolButton, &QPushButton::clicked, this, &D::OnIlluminationTool);
    connect(f.flatFieldSetupButton, &QPushButton::clicked, this, &D::OnFlatFieldCorrectionSetup);
    connect(f.geometricSetupButton, &QPushButton::clicked, this, &D::OnGeometricCorrectionSetup);
    connect(f.presetCombo, &QComboBox::currentIndexChanged, this, &D::OnPreferenceSel);
    connect(f.aecAgcCombo, &QComboBox::currentIndexChanged, this, &D::OnAecAgcSel);
    connect(f.gammaCombo, &QComboBox::currentIndexChanged, this, &D::OnGammaSel);
    connect(f.colorCombo, &QComboBox::currentIndexChanged, this, &D::OnColorSel);
    connect(f.illuminationCombo, &QComboBox::currentIndexChanged, this, &D::OnIlluminationSel);
    connect(f.sharpnessCombo, &QComboBox::currentIndexChanged, this, &D::OnSharpnessSel);
    const auto option = [this](QCheckBox* check, uint8_t PreferenceRecord::*field) {
        connect(check, &QCheckBox::toggled, this, [field](bool on) { s_peData.*field = on; });
    };
    option(f.flatFieldCheck, &PreferenceRecord::flatFieldCorrection);
    option(f.geometricCheck, &PreferenceRecord::geometricCorrection);
    option(f.motionCheck, &PreferenceRecord::motionCompensation);
    option(f.medianCheck, &PreferenceRecord::medianFilter);
    option(f.hdmiCheck, &PreferenceRecord::hdmiOutput);
    connect(f.channelCombo, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0) {
            s_peData.channelOutput =
                static_cast<uint8_t>(m_form->channelCombo->itemData(i).toInt());
        }
    });
}

void preferenceDialog::fillCombos() {
    kxui::PreferenceForm& f = *m_form;
    using kxui::PresetList;
    PresetList::fill(*f.presetCombo, *this, kFirstPreference, PresetFolders::preference());
    // Only the files that name a preference preset: the folder holds other settings too.
    for (int i = f.presetCombo->count() - 1; i > 0; --i) {
        PreferenceRecord scratch;
        const auto table = kxui::PreferenceTable(scratch).entries();
        const std::string file = PresetFolders::presetFile(
            PresetFolders::preference(), f.presetCombo->itemText(i).toStdString());
        const auto named = std::find_if(table.begin(), table.end(), [](const auto& entry) {
            return entry.first == kPresetKey;
        });
        if (readProference({*named}, file) == 0) {
            const QSignalBlocker quiet(f.presetCombo);
            f.presetCombo->removeItem(i);
        }
    }
    PresetList::fill(*f.aecAgcCombo, *this, kFirstAecAgc, PresetFolders::metering());
    PresetList::fill(*f.gammaCombo, *this, QString(), PresetFolders::gamma());
    PresetList::fill(*f.colorCombo, *this, kFirstColor, PresetFolders::color());
    PresetList::fill(*f.illuminationCombo, *this, kFirstIllumination,
                     PresetFolders::illumination());
    PresetList::fill(*f.sharpnessCombo, *this, QString(), PresetFolders::sharpness());
}

void preferenceDialog::showRecord() {
    if (!m_form) {
        return;
    }
    kxui::PreferenceForm& f = *m_form;
    selectText(f.presetCombo, s_peData.name);
    if (f.presetCombo->currentIndex() < 0 && s_peData.name[0] != '\0') {
        // A preset added and not saved yet has no file to be listed by.
        const QSignalBlocker quiet(f.presetCombo);
        f.presetCombo->addItem(QString::fromUtf8(s_peData.name));
        f.presetCombo->setCurrentIndex(f.presetCombo->count() - 1);
    }
    showArea(f.aecAgcCombo, s_peData.agcSettings);
    showArea(f.gammaCombo, s_peData.gammaSettings);
    showArea(f.colorCombo, s_peData.colorSettings);
    showArea(f.illuminationCombo, s_peData.illuminationSettings);
    showArea(f.sharpnessCombo, s_peData.sharpnessSettings);
    showCheck(f.flatFieldCheck, s_peData.flatFieldCorrection);
    showCheck(f.geometricCheck, s_peData.geometricCorrection);
    showCheck(f.motionCheck, s_peData.motionCompensation);
    showCheck(f.medianCheck, s_peData.medianFilter);
    showCheck(f.hdmiCheck, s_peData.hdmiOutput);
    const QSignalBlocker quiet(f.channelCombo);
    f.channelCombo->setCurrentIndex(f.channelCombo->findData(s_peData.channelOutput));
}

int preferenceDialog::readProference(const SettingsTable& table, const std::string& fileName) {
    return kxui::ConfigTable::load(*this, table, fileName);
}

int preferenceDialog::writeProference(const std::string& fileName, const SettingsTable& table) {
    return kxui::ConfigTable::save(*this, table, fileName, kSeparator);
}

void preferenceDialog::getChannelOutput(void* field, std::string value) {
    int output = 0;
    if (field != nullptr && channelWords().find(value, output)) {
        *static_cast<uint8_t*>(field) = static_cast<uint8_t>(output);
    }
}

std::string preferenceDialog::putChannelOutput(void* field) {
    return field != nullptr ? channelWords().wordOf(*static_cast<const uint8_t*>(field))
                            : std::string();
}

void preferenceDialog::OnOK() {
    accept();
}

void preferenceDialog::OnCancel() {
    reject();
}

void preferenceDialog::OnSave() {
    const QString name = QString::fromUtf8(s_peData.name);
    if (!kxui::PresetName::safeAsFile(name)) {
        kxui::UiPrompter::current().warning(
            this, kTitle, QString("The preset <%1> cannot be saved under its name.").arg(name));
        return;
    }
    kxui::PresetFile::save(*this, s_peList, PresetFolders::preference(), name, kTitle, kSeparator);
}

void preferenceDialog::OnMeteringTool() {
    meteringDialog metering(this);
    metering.setupMeteringDialog();
    metering.exec();
    if (m_form) {
        kxui::PresetList::fill(*m_form->aecAgcCombo, *this, kFirstAecAgc,
                               PresetFolders::metering());
        selectText(m_form->aecAgcCombo, s_peData.agcSettings);
    }
}

void preferenceDialog::OnGammaTool() {
    {
        gammaDialog gamma(this);
        gamma.exec();
    }
    // A table saved in the editor is a gamma preset from now on.
    if (m_form) {
        kxui::PresetList::fill(*m_form->gammaCombo, *this, QString(), PresetFolders::gamma());
        selectText(m_form->gammaCombo, s_peData.gammaSettings);
    }
}

void preferenceDialog::OnColorTool() {
    information("Color Tool");
}

void preferenceDialog::OnSharpnessTool() {
    information("Sharpness Tool");
}

void preferenceDialog::OnIlluminationTool() {
    information("Illumination Tool");
}

void preferenceDialog::OnFlatFieldCorrectionSetup() {
    information("Flat Field Correction Setup");
}

void preferenceDialog::OnGeometricCorrectionSetup() {
    information("Geometric Correction Setup");
}

void preferenceDialog::information(const char* text) {
    kxui::UiPrompter::current().information(this, kTitle, text);
}

void preferenceDialog::OnAddPresetPreferenceButton() {
    if (!m_form) {
        return;
    }
    const std::optional<QString> answer =
        kxui::UiPrompter::current().text(this, "New Preference Name:");
    if (!answer || !kxui::NewPresetName::check(this, kTitle, *answer, *m_form->presetCombo,
                                               PresetFolders::preference())) {
        return;
    }
    kxui::PresetFile::setText(s_peData.name, sizeof s_peData.name, *answer);
    const QSignalBlocker quiet(m_form->presetCombo);
    m_form->presetCombo->addItem(*answer);
    m_form->presetCombo->setCurrentIndex(m_form->presetCombo->count() - 1);
}

void preferenceDialog::OnPreferenceSel(int i) {
    if (!m_form || i < 0 || i >= m_form->presetCombo->count()) {
        return;
    }
    const QString name = m_form->presetCombo->itemText(i);
    s_peData = PreferenceRecord();
    readProference(s_peList,
                   PresetFolders::presetFile(PresetFolders::preference(), name.toStdString()));
    // The preset is the file it was chosen by, whatever name the file gives.
    kxui::PresetFile::setText(s_peData.name, sizeof s_peData.name, name);
    showRecord();
}

void preferenceDialog::chooseArea(QComboBox* combo, int i, char* field) {
    if (i < 0 || i >= combo->count()) {
        return;
    }
    kxui::PresetFile::setText(field, PreferenceRecord::kNameSize, combo->itemText(i));
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(i);
}

void preferenceDialog::OnAecAgcSel(int i) {
    if (m_form) {
        chooseArea(m_form->aecAgcCombo, i, s_peData.agcSettings);
    }
}

void preferenceDialog::OnGammaSel(int i) {
    if (m_form) {
        chooseArea(m_form->gammaCombo, i, s_peData.gammaSettings);
    }
}

void preferenceDialog::OnColorSel(int i) {
    if (m_form) {
        chooseArea(m_form->colorCombo, i, s_peData.colorSettings);
    }
}

void preferenceDialog::OnIlluminationSel(int i) {
    if (m_form) {
        chooseArea(m_form->illuminationCombo, i, s_peData.illuminationSettings);
    }
}

void preferenceDialog::OnSharpnessSel(int i) {
    if (m_form) {
        chooseArea(m_form->sharpnessCombo, i, s_peData.sharpnessSettings);
    }
}
