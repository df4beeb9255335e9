#include "AecAgcTabPage.h"

#include <QLocale>
#include <initializer_list>
#include <optional>

#include "DecimalEntry.h"
#include "MeteringWeights.h"
#include "PromptService.h"
#include "SensorRegisters.h"
#include "SingleInstances.h"
#include "SpotSelection.h"
#include "ui_AecAgcTabPage.h"

namespace hv {

namespace {

const QString kTitle = QStringLiteral("Aec/Agc Tool Page");

// Mode combo entries.
constexpr int kAutomatic = 0;
constexpr int kManual = 1;

// Sensor controller registers.
constexpr int kRegAecAgcManual = 0x3603;
constexpr int kManualExposureBit = 0x01;  // set: exposure manual (AEC off)
constexpr int kManualGainBit = 0x02;      // set: gain manual (AGC off)
constexpr int kRegExposureHigh = 0x3601;  // and 0x3602
constexpr int kExposureHighMask = 0xFF;
constexpr int kRegGainHigh = 0x3608;  // and 0x3609
constexpr int kGainHighMask = 0x03;
constexpr int kRegStartXHigh = 0x4280;  // and 0x4281
constexpr int kRegEndXHigh = 0x4282;    // and 0x4283
constexpr int kRegStartYHigh = 0x4284;  // and 0x4285
constexpr int kRegEndYHigh = 0x4286;    // and 0x4287
constexpr int kStartHighMask = 0x0F;
constexpr int kEndHighMask = 0xFF;
constexpr int kRegAverageIntensity = 0x4293;

// Limits of the entries.
constexpr int kMaxExposure = 8191;
constexpr int kMaxGain = 127;
constexpr int kUnityGain = 16;  // gain register steps of one sixteenth above 1
// Targets and ranges up to this are judged by the band limits; larger numbers are illegal.
constexpr int kLargestEntry = 99999;

// What the device set-up puts in place: a window of 160 at (0, 0) (size entry 4).
constexpr int kSetUpSizeEntry = 4;
constexpr int kNoSpotBlock = 0;

const char* const kLegalCharacters = "'0' - '9'";

const char* const kModeFailed = "ERROR::Fail to enable/disable AEC and ASGC [ErrorCode = %1]!!!...";
const char* const kExposureFailed = "ERROR::Fail to set manual exposure [ErrorCode = %1]!!!...";
const char* const kGainFailed = "ERROR::Fail to set manual gain [ErrorCode = %1]!!!...";
const char* const kSizeFailed = "ERROR::Fail to setwindow size [ErrorCode = %1]!!!...";
const char* const kLocationXFailed = "ERROR::Fail to set window location X [ErrorCode = %1]!!!...";
const char* const kLocationYFailed = "ERROR::Fail to set window location Y [ErrorCode = %1]!!!...";

// The two bands around the target: the sensor's exposure rests while the brightness stays in the
// stable-in band and starts again once it leaves the stable-out band.
constexpr StableBand kInBand = {
    .lowReg = 0x3510,
    .highReg = 0x350F,
    .limitLow = 40,
    .limitHigh = 200,
    .refused =
        "ERROR:: stable in range is larger than stable out range or stable in range out of "
        "40-200 limits!!!...",
    .failed = "ERROR::Fail to set stable in range [ErrorCode = %1]!!!...",
};
constexpr StableBand kOutBand = {
    .lowReg = 0x351E,
    .highReg = 0x351B,
    .limitLow = 10,
    .limitHigh = 240,
    .refused =
        "ERROR:: stable out range is smaller than stable in range or stable out range out "
        "of 10-240 limits!!!...",
    .failed = "ERROR::Fail to set stable out range [ErrorCode = %1]!!!...",
};

}  // namespace

AecAgcTabPage::AecAgcTabPage(QWidget* parent) : TabPage(parent) {}

AecAgcTabPage::~AecAgcTabPage() {
    if (m_spots) {
        m_spots->setActive(false);
    }
}

AecAgcTabPage* AecAgcTabPage::instance() {
    return SingleInstances::get<AecAgcTabPage>();
}

void AecAgcTabPage::initialise(QWidget* parent, int deviceCount, const QStringList& deviceNames,
                               const QList<CamContext*>& deviceHandles) {
    m_deviceIndex = -1;
    TabPage::initialise(parent, deviceCount, deviceNames, deviceHandles);
    m_ui->meteringSel->setCurrentIndex(MeteringWeights::kMatrix);
    m_meteringMode = MeteringWeights::kMatrix;
}

void AecAgcTabPage::buildForm() {
    m_ui = std::make_unique<Ui::AecAgcTabPage>();
    m_ui->setupUi(this);
    showState();
    enableAutomaticControls(m_mode == kAutomatic);

    connect(m_ui->aecagcSel, &QComboBox::activated, this, &AecAgcTabPage::OnAecAgcSel);
    connect(m_ui->windowSel, &QComboBox::activated, this, &AecAgcTabPage::OnWindowsSel);
    connect(m_ui->manualExposureEdit, &QLineEdit::returnPressed, this,
            &AecAgcTabPage::OnManualExposureEntered);
    connect(m_ui->manualGainEdit, &QLineEdit::returnPressed, this,
            &AecAgcTabPage::OnManualGainEntered);
    connect(m_ui->meteringSel, &QComboBox::activated, this, &AecAgcTabPage::OnMeteringSel);
    connect(m_ui->targetEdit, &QLineEdit::returnPressed, this, &AecAgcTabPage::OnTargetEntered);
    connect(m_ui->inRangeEdit, &QLineEdit::returnPressed, this, &AecAgcTabPage::OnInRangeEntered);
    connect(m_ui->outRangeEdit, &QLineEdit::returnPressed, this, &AecAgcTabPage::OnOutRangeEntered);
    connect(m_ui->windowLocXEdit, &QLineEdit::returnPressed, this,
            &AecAgcTabPage::OnWindowLocXEntered);
    connect(m_ui->windowLocYEdit, &QLineEdit::returnPressed, this,
            &AecAgcTabPage::OnWindowLocYEntered);
    connect(m_ui->getAvgIntensityButton, &QPushButton::clicked, this,
            &AecAgcTabPage::OnGetAverageIntensity);

    m_spots = SpotSelection::instance();
    if (m_spots) {
        connect(m_spots->spotSignal(), &KX::KXAECSpotSignal::aecSpotSignal, this,
                &AecAgcTabPage::OnAecSpotSignal);
        m_spots->setActive(isVisible());
    }
}

QComboBox* AecAgcTabPage::deviceCombo() const {
    return m_ui->cbDevNoSel;
}

SensorRegisters AecAgcTabPage::sensor() const {
    return SensorRegisters(m_deviceIndex < 0 ? nullptr : handleAt(m_deviceIndex));
}

void AecAgcTabPage::readDevice(int index, CamContext*) {
    m_deviceIndex = index;
    SensorRegisters registers = sensor();

    // Automatic exposure and gain.
    m_mode = kAutomatic;
    if (registers.setBits(kRegAecAgcManual, kManualExposureBit, false)) {
        registers.setBits(kRegAecAgcManual, kManualGainBit, false);
    }
    m_ui->aecagcSel->setCurrentIndex(kAutomatic);
    enableAutomaticControls(true);

    // The window at (0, 0) first, so that its end registers follow the new start.
    m_window.setX(0);
    m_window.setY(0);
    if (registers.writePair(kRegStartXHigh, 0, kStartHighMask)) {
        registers.writePair(kRegStartYHigh, 0, kStartHighMask);
    }
    showNumber(m_ui->windowLocXEdit, 0);
    showNumber(m_ui->windowLocYEdit, 0);
    const int size = MeteringWindow::sizeOfEntry(kSetUpSizeEntry);
    m_windowSizeIndex = kSetUpSizeEntry;
    m_window.resize(size);
    writeWindowEnds(registers, size);
    m_ui->windowSel->setCurrentIndex(kSetUpSizeEntry);

    m_meteringMode = MeteringWeights::kMatrix;
    m_ui->meteringSel->setCurrentIndex(m_meteringMode);
    MeteringWeights::write(registers, m_meteringMode, kNoSpotBlock);

    showNumber(m_ui->manualExposureEdit, m_manualExposure);
    showManualGain();

    // The bands as the sensor holds them; values that cannot be read stay as recorded.
    int low = 0;
    int high = 0;
    if (registers.read(kInBand.lowReg, low) && registers.read(kInBand.highReg, high)) {
        m_target = (low + high) / 2;
        m_inRange = (high - low) / 2;
    }
    if (registers.read(kOutBand.lowReg, low) && registers.read(kOutBand.highReg, high)) {
        m_outRange = (high - low) / 2;
    }
    showNumber(m_ui->targetEdit, m_target);
    showNumber(m_ui->inRangeEdit, m_inRange);
    showNumber(m_ui->outRangeEdit, m_outRange);

    readAverageIntensity(registers);
}

void AecAgcTabPage::OnAecAgcSel(int nAecAgcSel) {
    if (nAecAgcSel == m_mode || (nAecAgcSel != kAutomatic && nAecAgcSel != kManual)) {
        return;
    }
    const bool automatic = nAecAgcSel == kAutomatic;
    enableAutomaticControls(automatic);
    SensorRegisters registers = sensor();
    if (!registers.setBits(kRegAecAgcManual, kManualExposureBit, !automatic) ||
        !registers.setBits(kRegAecAgcManual, kManualGainBit, !automatic)) {
        reportFailure(kModeFailed, registers.lastError());
        m_ui->aecagcSel->setCurrentIndex(m_mode);
        enableAutomaticControls(m_mode == kAutomatic);
        return;
    }
    m_mode = nAecAgcSel;
    if (automatic) {
        return;
    }
    showNumber(m_ui->manualExposureEdit, m_manualExposure);
    showManualGain();
    if (writeManualExposure(registers, m_manualExposure)) {
        writeManualGain(registers, m_manualGain);
    }
}

void AecAgcTabPage::OnManualExposureEntered() {
    const std::optional<int> exposure =
        legalEntry(m_ui->manualExposureEdit, "Manual Exposure", kMaxExposure, kMaxExposure);
    if (exposure && *exposure != m_manualExposure) {
        SensorRegisters registers = sensor();
        if (writeManualExposure(registers, *exposure)) {
            m_manualExposure = *exposure;
        }
    }
    showNumber(m_ui->manualExposureEdit, m_manualExposure);
}

void AecAgcTabPage::OnManualGainEntered() {
    const std::optional<int> gain =
        legalEntry(m_ui->manualGainEdit, "Manual Gain", kMaxGain, kMaxGain);
    if (gain && *gain != m_manualGain) {
        SensorRegisters registers = sensor();
        if (writeManualGain(registers, *gain)) {
            m_manualGain = *gain;
        }
    }
    showManualGain();
}

void AecAgcTabPage::OnWindowsSel(int nWindowSel) {
    const int size = MeteringWindow::sizeOfEntry(nWindowSel);
    if (size == 0) {
        return;
    }
    if (!MeteringWindow::fits(m_window.x(), m_window.y(), size)) {
        reportError(QStringLiteral("ERROR:: windows out of %1 x %2 field [%3, %4]!!!...")
                        .arg(MeteringWindow::kField)
                        .arg(MeteringWindow::kField)
                        .arg(m_window.x() + size)
                        .arg(m_window.y() + size));
        m_ui->windowSel->setCurrentIndex(m_windowSizeIndex);
        return;
    }
    if (nWindowSel == m_windowSizeIndex) {
        return;
    }
    SensorRegisters registers = sensor();
    if (!writeWindowEnds(registers, size)) {
        reportFailure(kSizeFailed, registers.lastError());
        m_ui->windowSel->setCurrentIndex(m_windowSizeIndex);
        return;
    }
    m_window.resize(size);
    m_windowSizeIndex = nWindowSel;
}

void AecAgcTabPage::OnWindowLocXEntered() {
    m_window.setX(enterWindowStart(m_ui->windowLocXEdit, "Windows LocX", m_window.x(),
                                   m_window.width(), kRegStartXHigh, kLocationXFailed));
}

void AecAgcTabPage::OnWindowLocYEntered() {
    m_window.setY(enterWindowStart(m_ui->windowLocYEdit, "Windows LocY", m_window.y(),
                                   m_window.height(), kRegStartYHigh, kLocationYFailed));
}

int AecAgcTabPage::enterWindowStart(QLineEdit* edit, const char* field, int start, int extent,
                                    int startReg, const char* failed) {
    const std::optional<int> entered =
        legalEntry(edit, field, MeteringWindow::kField - extent, MeteringWindow::kField);
    if (entered && *entered != start) {
        SensorRegisters registers = sensor();
        if (registers.writePair(startReg, *entered, kStartHighMask)) {
            start = *entered;
        } else {
            reportFailure(failed, registers.lastError());
        }
    }
    showNumber(edit, start);
    return start;
}

std::optional<int> AecAgcTabPage::legalEntry(QLineEdit* edit, const char* field, int high,
                                             int shownHigh) {
    const QString text = edit->text();
    const std::optional<int> value = DecimalEntry::parse(text, 0, high);
    if (!value) {
        reportIllegalValue(text, field, 0, shownHigh);
    }
    return value;
}

void AecAgcTabPage::OnMeteringSel(int nMeteringSel) {
    if (nMeteringSel == m_meteringMode) {
        return;
    }
    m_meteringMode = nMeteringSel;
    SensorRegisters registers = sensor();
    MeteringWeights::write(registers, m_meteringMode, kNoSpotBlock);
}

void AecAgcTabPage::OnTargetEntered() {
    const QString text = m_ui->targetEdit->text();
    const std::optional<int> entered = DecimalEntry::parse(text, 0, kLargestEntry);
    if (!entered) {
        reportIllegalValue(text, "Target", kOutBand.limitLow, kOutBand.limitHigh);
        showNumber(m_ui->targetEdit, m_target);
        return;
    }
    const int target = *entered;
    if (!kOutBand.holds(target, m_outRange)) {
        reportError(
            QStringLiteral("ERROR:: target value is out of 10-240 range [%1-%2-%3-%4-%5]!!!...")
                .arg(target - m_outRange)
                .arg(target - m_inRange)
                .arg(target)
                .arg(target + m_inRange)
                .arg(target + m_outRange));
    } else if (target != m_target) {
        SensorRegisters registers = sensor();
        if (!writeBand(registers, kInBand, target, m_inRange)) {
            reportFailure(kInBand.failed, registers.lastError());
        } else if (!writeBand(registers, kOutBand, target, m_outRange)) {
            reportFailure(kOutBand.failed, registers.lastError());
        } else {
            m_target = target;
        }
    }
    showNumber(m_ui->targetEdit, m_target);
}

void AecAgcTabPage::OnInRangeEntered() {
    const std::optional<int> range =
        DecimalEntry::parse(m_ui->inRangeEdit->text(), 0, kInBand.limitHigh);
    const bool accepted = range && *range < m_outRange && kInBand.holds(m_target, *range);
    enterRange(m_ui->inRangeEdit, kInBand, accepted ? range : std::nullopt, m_inRange);
}

void AecAgcTabPage::OnOutRangeEntered() {
    const std::optional<int> range =
        DecimalEntry::parse(m_ui->outRangeEdit->text(), 0, kOutBand.limitHigh);
    const bool accepted = range && *range > m_inRange && kOutBand.holds(m_target, *range);
    enterRange(m_ui->outRangeEdit, kOutBand, accepted ? range : std::nullopt, m_outRange);
}

void AecAgcTabPage::enterRange(QLineEdit* edit, const StableBand& band, std::optional<int> range,
                               int& recorded) {
    if (!range) {
        reportError(QString::fromLatin1(band.refused));
    } else if (*range != recorded) {
        SensorRegisters registers = sensor();
        if (writeBand(registers, band, m_target, *range)) {
            recorded = *range;
        } else {
            reportFailure(band.failed, registers.lastError());
        }
    }
    showNumber(edit, recorded);
}

void AecAgcTabPage::OnGetAverageIntensity() {
    SensorRegisters registers = sensor();
    readAverageIntensity(registers);
}

void AecAgcTabPage::OnAecSpotSignal() {
    if (!isVisible() || !m_spots) {
        return;
    }
    const QPoint point = MeteringWindow::fieldPoint(m_spots->spot());
    MeteringWindow moved = m_window;
    moved.moveToward(point);
    SensorRegisters registers = sensor();
    if (moved.x() != m_window.x()) {
        if (!registers.writePair(kRegStartXHigh, moved.x(), kStartHighMask)) {
            reportFailure(kLocationXFailed, registers.lastError());
            return;
        }
        m_window.setX(moved.x());
        showNumber(m_ui->windowLocXEdit, m_window.x());
    }
    if (moved.y() != m_window.y()) {
        if (!registers.writePair(kRegStartYHigh, moved.y(), kStartHighMask)) {
            reportFailure(kLocationXFailed, registers.lastError());
            return;
        }
        m_window.setY(moved.y());
        showNumber(m_ui->windowLocYEdit, m_window.y());
    }
    const int block = m_window.blockAt(point);
    if (block < 0) {
        reportError(QStringLiteral("ERROR::Spot block number out of 0-15 bound!!!..."));
        return;
    }
    MeteringWeights::write(registers, m_meteringMode, block);
}

void AecAgcTabPage::showEvent(QShowEvent* event) {
    TabPage::showEvent(event);
    if (m_spots) {
        m_spots->setActive(true);
    }
}

void AecAgcTabPage::hideEvent(QHideEvent* event) {
    TabPage::hideEvent(event);
    if (m_spots) {
        m_spots->setActive(false);
    }
}

bool AecAgcTabPage::writeWindowEnds(SensorRegisters& sensor, int size) {
    int start = 0;
    if (!sensor.readPair(kRegStartXHigh, start) ||
        !sensor.writePair(kRegEndXHigh, MeteringWindow::end(start, size), kEndHighMask)) {
        return false;
    }
    return sensor.readPair(kRegStartYHigh, start) &&
           sensor.writePair(kRegEndYHigh, MeteringWindow::end(start, size), kEndHighMask);
}

bool AecAgcTabPage::writeBand(SensorRegisters& sensor, const StableBand& band, int target,
                              int range) {
    return sensor.write(band.lowReg, target - range) && sensor.write(band.highReg, target + range);
}

bool AecAgcTabPage::writeManualExposure(SensorRegisters& sensor, int exposure) {
    if (!sensor.writePair(kRegExposureHigh, exposure, kExposureHighMask)) {
        reportFailure(kExposureFailed, sensor.lastError());
        return false;
    }
    return true;
}

bool AecAgcTabPage::writeManualGain(SensorRegisters& sensor, int gain) {
    if (!sensor.writePair(kRegGainHigh, gain, kGainHighMask)) {
        reportFailure(kGainFailed, sensor.lastError());
        return false;
    }
    return true;
}

void AecAgcTabPage::readAverageIntensity(SensorRegisters& sensor) {
    int average = 0;  // stays 0 when the read fails
    sensor.read(kRegAverageIntensity, average);
    showNumber(m_ui->avgIntensityEdit, average);
}

void AecAgcTabPage::enableAutomaticControls(bool automatic) {
    const std::initializer_list<QWidget*> automaticControls = {
        m_ui->meteringSel,  m_ui->windowLocXEdit,   m_ui->windowLocYEdit,
        m_ui->windowSel,    m_ui->targetEdit,       m_ui->inRangeEdit,
        m_ui->outRangeEdit, m_ui->avgIntensityEdit, m_ui->getAvgIntensityButton};
    for (QWidget* widget : automaticControls) {
        widget->setEnabled(automatic);
    }
    m_ui->manualExposureEdit->setEnabled(!automatic);
    m_ui->manualGainEdit->setEnabled(!automatic);
}

void AecAgcTabPage::showState() {
    m_ui->aecagcSel->setCurrentIndex(m_mode);
    m_ui->windowSel->setCurrentIndex(m_windowSizeIndex);
    m_ui->meteringSel->setCurrentIndex(m_meteringMode);
    showNumber(m_ui->windowLocXEdit, m_window.x());
    showNumber(m_ui->windowLocYEdit, m_window.y());
    showNumber(m_ui->targetEdit, m_target);
    showNumber(m_ui->inRangeEdit, m_inRange);
    showNumber(m_ui->outRangeEdit, m_outRange);
    showNumber(m_ui->manualExposureEdit, m_manualExposure);
    showManualGain();
    showNumber(m_ui->avgIntensityEdit, 0);
}

void AecAgcTabPage::showManualGain() {
    showNumber(m_ui->manualGainEdit, m_manualGain);
    const double actual = 1.0 + static_cast<double>(m_manualGain) / kUnityGain;
    m_ui->ov6930GainEdit->setText(QString::number(actual, 'g', QLocale::FloatingPointShortest));
}

void AecAgcTabPage::showNumber(QLineEdit* edit, int value) {
    edit->setText(QString::number(value));
}

void AecAgcTabPage::reportError(const QString& text) {
    PromptService::critical(this, kTitle, text);
}

void AecAgcTabPage::reportFailure(const char* text, int code) {
    reportError(QString::fromLatin1(text).arg(code));
}

void AecAgcTabPage::reportIllegalValue(const QString& text, const char* field, int low, int high) {
    reportError(QStringLiteral("ERROR::Illegal value \"%1\" entered for %2:\nValue out of range "
                               "(%3 - %4), or illegal character(s) entered. Legal characters are "
                               "%5.\n\nValue will be reset to previous value.")
                    .arg(text, QString::fromLatin1(field), QString::number(low),
                         QString::number(high), QString::fromLatin1(kLegalCharacters)));
}

}  // namespace hv
