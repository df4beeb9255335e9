#include "meteringDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <cstring>

#include "ConfigTable.h"
#include "MeteringForm.h"
#include "MeteringTable.h"
#include "MeteringWords.h"
#include "NewPresetName.h"
#include "PresetFile.h"
#include "PresetFolders.h"
#include "PresetList.h"
#include "PresetName.h"
#include "UiPrompter.h"
#include "Vocabulary.h"
#include "ZonePicture.h"
#include "ZoneWeightCodec.h"

namespace {

const QString kTitle = QStringLiteral("Metering Tool");
const QString kDefaultPreset = QStringLiteral("Default");
constexpr int kSpotMode = 0;

void getIndex(const kxui::Vocabulary& words, void* field, const std::string& value) {
    int index = 0;
    if (field != nullptr && words.find(value, index)) {
        std::memcpy(field, &index, sizeof index);
    }
}

std::string putIndex(const kxui::Vocabulary& words, void* field) {
    if (field == nullptr) {
        return std::string();
    }
    int index = 0;
    std::memcpy(&index, field, sizeof index);
    return words.wordOf(index);
}

// The table of s_meData; its WEIGHT entries point into it, so it lives as long as the record.
kxui::MeteringTable& recordTable() {
    static kxui::MeteringTable table(meteringDialog::s_meData);
    return table;
}

void setName(MeteringRecord& record, const QString& name) {
    kxui::PresetFile::setText(record.name, sizeof record.name, name);
}

QString textOf(double value) {
    return QString::asprintf("%.2f", value);
}

// Reads a number typed in an edit, in the C locale as the edit's validator takes it.
bool readNumber(const QString& text, double& value) {
    bool ok = false;
    const double parsed = QLocale::c().toDouble(text.trimmed(), &ok);
    if (ok) {
        value = parsed;
    }
    return ok;
}

bool isChecked(int state) {
    return state != Qt::Unchecked;
}

}  // namespace

MeteringRecord meteringDialog::s_meData;
meteringDialog::SettingsTable meteringDialog::s_meList = recordTable().entries();

meteringDialog::meteringDialog(QWidget* parent) : configDialog(parent) {
    setWindowTitle("Metering Tools");
}

meteringDialog::~meteringDialog() = default;

void meteringDialog::setupMeteringDialog() {
    if (!m_form) {
        m_form = std::make_unique<kxui::MeteringForm>();
        m_form->setupUi(this);
        connectForm();
    }
    kxui::PresetList::fill(*m_form->presetCombo, *this, kDefaultPreset, PresetFolders::metering());
    const int current = m_form->presetCombo->findText(QString::fromUtf8(s_meData.name));
    const QSignalBlocker quiet(m_form->presetCombo);
    m_form->presetCombo->setCurrentIndex(current >= 0 ? current : 0);
    showRecord();
}

void meteringDialog::connectForm() {
    kxui::MeteringForm& f = *m_form;
    using D = meteringDialog;
    connect(f.okButton, &QPushButton::clicked, this, &D::OnOK);
    connect(f.cancelButton, &QPushButton::clicked, this, &D::OnCancel);
    connect(f.helpButton, &QPushButton::clicked, this, &D::OnHelp);
    connect(f.resetButton, &QPushButton::clicked, this, &D::OnReset);
    connect(f.saveButton, &QPushButton::clicked, this, &D::OnSave);
    connect(f.addButton, &QPushButton::clicked, this, &D::OnAddMeteringPreference);
    connect(f.importButton, &QPushButton::clicked, this, &D::OnImportMeteringPreference);
    connect(f.presetCombo, &QComboBox::currentIndexChanged, this, &D::OnMeteringPreferenceSel);
    connect(f.typeCombo, &QComboBox::currentIndexChanged, this, &D::OnMeteringTypeSel);
    connect(f.modeCombo, &QComboBox::currentIndexChanged, this, &D::OnMeteringModeSel);
    connect(f.sizeCombo, &QComboBox::currentIndexChanged, this, &D::OnMeteringSizeSel);
    connect(f.startXSpin, &QSpinBox::valueChanged, this, &D::OnSetStartX);
    connect(f.startYSpin, &QSpinBox::valueChanged, this, &D::OnSetStartY);
    connect(f.autoZoneCheck, &QCheckBox::stateChanged, this, &D::OnAutoZones);
    connect(f.autoTargetCheck, &QCheckBox::stateChanged, this, &D::OnAutoTarget);
    connect(f.exposureEdit, &QLineEdit::textEdited, this, &D::OnSetExposure);
    connect(f.gainEdit, &QLineEdit::textEdited, this, &D::OnSetGain);
    connect(f.targetSpin, &QSpinBox::valueChanged, this, &D::OnSetTarget);
    connect(f.upperLimitSpin, &QSpinBox::valueChanged, this, &D::OnSetUpperLimit);
    connect(f.lowerLimitSpin, &QSpinBox::valueChanged, this, &D::OnSetLowerLimit);
    connect(f.aecModuleCombo, &QComboBox::currentIndexChanged, this, &D::OnAecModuleSel);
    connect(f.agcModuleCombo, &QComboBox::currentIndexChanged, this, &D::OnAgcModuleSel);
    static constexpr void (D::*kWeightSlots[MeteringRecord::kZones])(int) = {
        &D::OnSetWeightBox00, &D::OnSetWeightBox01, &D::OnSetWeightBox02, &D::OnSetWeightBox03,
        &D::OnSetWeightBox04, &D::OnSetWeightBox05, &D::OnSetWeightBox06, &D::OnSetWeightBox07,
        &D::OnSetWeightBox08, &D::OnSetWeightBox09, &D::OnSetWeightBox10, &D::OnSetWeightBox11,
        &D::OnSetWeightBox12, &D::OnSetWeightBox13, &D::OnSetWeightBox14, &D::OnSetWeightBox15,
    };
    for (int box = 0; box < MeteringRecord::kZones; ++box) {
        connect(f.zonePicture->weightBox(box), &QSpinBox::valueChanged, this, kWeightSlots[box]);
    }
}

void meteringDialog::showRecord() {
    if (!m_form) {
        return;
    }
    kxui::MeteringForm& f = *m_form;
    const QList<QWidget*> inputs = findChildren<QWidget*>();
    std::vector<std::unique_ptr<QSignalBlocker>> quiet;
    for (QWidget* input : inputs) {
        quiet.push_back(std::make_unique<QSignalBlocker>(input));
    }
    f.typeCombo->setCurrentIndex(s_meData.type);
    f.modeCombo->setCurrentIndex(s_meData.mode);
    f.sizeCombo->setCurrentIndex(s_meData.size);
    f.startXSpin->setValue(s_meData.startX);
    f.startYSpin->setValue(s_meData.startY);
    f.autoZoneCheck->setChecked(s_meData.autoZones != 0);
    f.exposureEdit->setText(textOf(s_meData.exposure));
    f.gainEdit->setText(textOf(s_meData.gain));
    f.aecModuleCombo->setCurrentIndex(s_meData.aecModule);
    f.agcModuleCombo->setCurrentIndex(s_meData.agcModule);
    f.targetSpin->setValue(s_meData.target);
    f.autoTargetCheck->setChecked(s_meData.autoTarget != 0);
    f.upperLimitSpin->setValue(s_meData.upperLimit);
    f.lowerLimitSpin->setValue(s_meData.lowerLimit);
    f.zonePicture->placeBoxes(s_meData.zones);
    for (int box = 0; box < MeteringRecord::kZones; ++box) {
        f.zonePicture->weightBox(box)->setValue(s_meData.zones[box].weight);
        f.zonePicture->weightBox(box)->setEnabled(s_meData.autoZones == 0);
    }
    f.zonePicture->showLayout(s_meData.type, s_meData.mode == kSpotMode);
}

int meteringDialog::readMeteringPreference(const SettingsTable& table,
                                           const std::string& fileName) {
    return kxui::ConfigTable::load(*this, table, fileName);
}

int meteringDialog::writeMeteringProference(const std::string& fileName,
                                            const SettingsTable& table) {
    return kxui::ConfigTable::save(*this, table, fileName);
}

void meteringDialog::meteringCopy(MeteringRecord& destination, const MeteringRecord& source) {
    destination = source;
}

void meteringDialog::getTYPE(void* field, std::string value) {
    getIndex(kxui::MeteringWords::type(), field, value);
}

std::string meteringDialog::putTYPE(void* field) {
    return putIndex(kxui::MeteringWords::type(), field);
}

void meteringDialog::getMODE(void* field, std::string value) {
    getIndex(kxui::MeteringWords::mode(), field, value);
}

std::string meteringDialog::putMODE(void* field) {
    return putIndex(kxui::MeteringWords::mode(), field);
}

void meteringDialog::getSIZE(void* field, std::string value) {
    getIndex(kxui::MeteringWords::size(), field, value);
}

std::string meteringDialog::putSIZE(void* field) {
    return putIndex(kxui::MeteringWords::size(), field);
}

void meteringDialog::getMODULE(void* field, std::string value) {
    getIndex(kxui::MeteringWords::module(), field, value);
}

std::string meteringDialog::putMODULE(void* field) {
    return putIndex(kxui::MeteringWords::module(), field);
}

void meteringDialog::getWEIGHT(void* field, std::string value) {
    kxui::ZoneWeightCodec::get(field, std::move(value));
}

std::string meteringDialog::putWEIGHT(void* field) {
    return kxui::ZoneWeightCodec::put(field);
}

void meteringDialog::OnOK() {
    accept();
}

void meteringDialog::OnCancel() {
    reject();
}

void meteringDialog::OnHelp() {
    kxui::UiPrompter::current().information(this, kTitle, "Help Message For Metering Tool");
}

void meteringDialog::OnReset() {
    if (m_form) {
        loadPreset(m_form->presetCombo->currentIndex());
    }
    kxui::UiPrompter::current().information(this, kTitle, "Reset Metering Settings");
}

void meteringDialog::OnSave() {
    const QString name = QString::fromUtf8(s_meData.name);
    if (name == kDefaultPreset || !kxui::PresetName::safeAsFile(name)) {
        kxui::UiPrompter::current().warning(
            this, kTitle,
            QString("The preset <%1> cannot be saved: add a new metering method first.").arg(name));
        return;
    }
    kxui::PresetFile::save(*this, s_meList, PresetFolders::metering(), name, kTitle);
}

void meteringDialog::OnAddMeteringPreference() {
    const std::optional<QString> answer =
        kxui::UiPrompter::current().text(this, "New Metering Name:");
    if (!answer || !newPresetName(*answer)) {
        return;
    }
    s_meData = MeteringRecord();
    setName(s_meData, *answer);
    choosePreset(*answer);
    showRecord();
}

void meteringDialog::OnImportMeteringPreference() {
    const QString chosen = kxui::UiPrompter::current().openFileName(
        this, "Import Metering Method", QDir::homePath(), "Metering presets (*.txt)");
    if (chosen.isEmpty()) {
        return;
    }
    const QString name = QFileInfo(chosen).completeBaseName();
    if (!newPresetName(name)) {
        return;
    }
    MeteringRecord imported;
    kxui::MeteringTable table(imported);
    if (readMeteringPreference(table.entries(), chosen.toStdString()) == 0) {
        kxui::UiPrompter::current().warning(
            this, kTitle, QString("<%1> holds no metering settings.").arg(chosen));
        return;
    }
    setName(imported, name);
    if (!kxui::PresetFile::save(*this, table.entries(), PresetFolders::metering(), name, kTitle)) {
        return;
    }
    s_meData = imported;
    choosePreset(name);
    showRecord();
}

void meteringDialog::OnMeteringPreferenceSel(int i) {
    loadPreset(i);
}

void meteringDialog::loadPreset(int i) {
    if (!m_form || i < 0 || i >= m_form->presetCombo->count()) {
        return;
    }
    const QString name = m_form->presetCombo->itemText(i);
    s_meData = MeteringRecord();
    if (i > 0) {
        readMeteringPreference(
            s_meList, PresetFolders::presetFile(PresetFolders::metering(), name.toStdString()));
        // The preset is the file it was chosen by, whatever name the file gives.
        setName(s_meData, name);
    }
    const QSignalBlocker quiet(m_form->presetCombo);
    m_form->presetCombo->setCurrentIndex(i);
    showRecord();
}

void meteringDialog::choosePreset(const QString& name) {
    if (!m_form) {
        return;
    }
    const QSignalBlocker quiet(m_form->presetCombo);
    m_form->presetCombo->addItem(name);
    m_form->presetCombo->setCurrentIndex(m_form->presetCombo->count() - 1);
}

bool meteringDialog::newPresetName(const QString& name) {
    if (name == kDefaultPreset) {
        kxui::UiPrompter::current().warning(
            this, kTitle, QString("A preset named <%1> exists already.").arg(name));
        return false;
    }
    return m_form && kxui::NewPresetName::check(this, kTitle, name, *m_form->presetCombo,
                                                PresetFolders::metering());
}

void meteringDialog::OnMeteringTypeSel(int i) {
    if (i >= 0) {
        s_meData.type = i;
        if (m_form) {
            m_form->zonePicture->showLayout(s_meData.type, s_meData.mode == kSpotMode);
        }
    }
}

void meteringDialog::OnMeteringModeSel(int i) {
    if (i >= 0) {
        s_meData.mode = i;
        if (m_form) {
            m_form->zonePicture->showLayout(s_meData.type, s_meData.mode == kSpotMode);
        }
    }
}

void meteringDialog::OnMeteringSizeSel(int i) {
    if (i >= 0) {
        s_meData.size = i;
    }
}

void meteringDialog::OnSetStartX(int value) {
    s_meData.startX = value;
}

void meteringDialog::OnSetStartY(int value) {
    s_meData.startY = value;
}

void meteringDialog::OnAutoZones(int state) {
    s_meData.autoZones = isChecked(state) ? 1 : 0;
    if (m_form) {
        for (int box = 0; box < MeteringRecord::kZones; ++box) {
            m_form->zonePicture->weightBox(box)->setEnabled(!isChecked(state));
        }
    }
}

void meteringDialog::OnAutoTarget(int state) {
    s_meData.autoTarget = isChecked(state) ? 1 : 0;
}

void meteringDialog::OnSetExposure(QString text) {
    readNumber(text, s_meData.exposure);
}

void meteringDialog::OnSetGain(QString text) {
    readNumber(text, s_meData.gain);
}

void meteringDialog::OnSetTarget(int value) {
    s_meData.target = value;
}

void meteringDialog::OnSetUpperLimit(int value) {
    s_meData.upperLimit = value;
}

void meteringDialog::OnSetLowerLimit(int value) {
    s_meData.lowerLimit = value;
}

void meteringDialog::OnAecModuleSel(int i) {
    if (i >= 0) {
        s_meData.aecModule = i;
    }
}

void meteringDialog::OnAgcModuleSel(int i) {
    if (i >= 0) {
        s_meData.agcModule = i;
    }
}

void meteringDialog::setWeight(int box, int value) {
    if (box >= 0 && box < MeteringRecord::kZones && value >= 0 &&
        value <= MeteringRecord::kMaxWeight) {
        s_meData.zones[box].weight = static_cast<uint8_t>(value);
    }
}

void meteringDialog::OnSetWeightBox00(int value) {
    setWeight(0, value);
}
void meteringDialog::OnSetWeightBox01(int value) {
    setWeight(1, value);
}
void meteringDialog::OnSetWeightBox02(int value) {
    setWeight(2, value);
}
void meteringDialog::OnSetWeightBox03(int value) {
    setWeight(3, value);
}
void meteringDialog::OnSetWeightBox04(int value) {
    setWeight(4, value);
}
void meteringDialog::OnSetWeightBox05(int value) {
    setWeight(5, value);
}
void meteringDialog::OnSetWeightBox06(int value) {
    setWeight(6, value);
}
void meteringDialog::OnSetWeightBox07(int value) {
    setWeight(7, value);
}
void meteringDialog::OnSetWeightBox08(int value) {
    setWeight(8, value);
}
void meteringDialog::OnSetWeightBox09(int value) {
    setWeight(9, value);
}
void meteringDialog::OnSetWeightBox10(int value) {
    setWeight(10, value);
}
void meteringDialog::OnSetWeightBox11(int value) {
    setWeight(11, value);
}
void meteringDialog::OnSetWeightBox12(int value) {
    setWeight(12, value);
}
void meteringDialog::OnSetWeightBox13(int value) {
    setWeight(13, value);
}
void meteringDialog::OnSetWeightBox14(int value) {
    setWeight(14, value);
}
void meteringDialog::OnSetWeightBox15(int value) {
    setWeight(15, value);
}
