#include "ledTabPage.h"

#include <QLocale>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "CxLedBus.h"
#include "LedProbe.h"
#include "LedReadBack.h"
#include "Pca9530Rule.h"
#include "Pca9633Rule.h"
#include "PromptService.h"
#include "SingleInstances.h"
#include "ui_ledTabPage.h"

namespace hv {

namespace {

constexpr int kPowerAtZeroOn = 0;  // entry 0 of "Power @ 0%"

// Start-up's illumination: PWM 1 at 190 Hz, 5% duty per level.
constexpr int kMaxLevel = 10;
constexpr int kDutyPerLevel = 5;
constexpr double kIlluminationFrequency = 190.0;
constexpr int kPca9633LampChannel = 2;
constexpr int kModeOff = 1;
constexpr int kModePwm1 = 2;

}  // namespace

ledTabPage::ledTabPage(QWidget* parent) : TabPage(parent) {}

ledTabPage::~ledTabPage() = default;

ledTabPage* ledTabPage::instance() {
    return SingleInstances::get<ledTabPage>();
}

void ledTabPage::initialise(QWidget* parent, int deviceCount, const QStringList& deviceNames,
                            const QList<CamContext*>& deviceHandles) {
    TabPage::initialise(parent, deviceCount, deviceNames, deviceHandles);
    if (!available()) {
        probe();
    }
    refresh(m_deviceIndex, m_controller, m_led, m_mode, m_frequency, m_duty);
}

void ledTabPage::probe() {
    for (CamContext* handle : deviceHandles()) {
        CxLedBus bus(handle);
        m_controllerFound = LedProbe::find(bus);
        if (available()) {
            return;
        }
    }
}

bool ledTabPage::available() const {
    return m_controllerFound != LedProbe::kNone;
}

int ledTabPage::controllerFound() const {
    return m_controllerFound;
}

void ledTabPage::refresh(int deviceIndex, int controller, int led, int mode, double frequency,
                         int duty) {
    if (!available()) {
        return;
    }
    m_deviceIndex = deviceIndex;
    m_controller = controller;
    m_led = led;
    m_mode = mode;
    m_frequency = frequency;
    m_duty = duty;
    showSettings();
    apply(controller, led, mode, frequency, duty);
}

void ledTabPage::apply(int controller, int led, int mode, double frequency, int duty) {
    CamContext* handle = m_deviceIndex < 0 ? nullptr : handleAt(m_deviceIndex);
    if (!available() || handle == nullptr) {
        return;
    }
    CxLedBus bus(handle);
    if (controller == LedProbe::kPca9633) {
        Pca9633Rule(bus).apply(led, mode, duty, m_powerAtZeroOn);
    } else if (controller == LedProbe::kPca9530) {
        Pca9530Rule(bus).apply(led, mode, frequency, duty);
    }
}

void ledTabPage::setIllumination(int deviceIndex, int level) {
    level = std::clamp(level, 0, kMaxLevel);
    const int duty = kDutyPerLevel * level;
    if (m_controllerFound != LedProbe::kPca9530) {
        refresh(deviceIndex, LedProbe::kPca9633, kPca9633LampChannel, kModePwm1,
                kIlluminationFrequency, duty);
        return;
    }
    // Both PCA9530 outputs feed the lamp through inverting stages: the lamp is lit while an
    // output's driver is off, and its brightness is the mean over both outputs. Each LED is set
    // in turn to the blink rate PWM 0, whose duty register is then (1 - duty) x 256, so the
    // light follows the level as on a PCA9633 board; the fastest blink rate (190 Hz gives
    // prescaler 0, 152 Hz) keeps it steady. Level 0 turns both drivers on ("OFF", code 01),
    // which darkens the lamp; PWM could not, since its duty is at least 1%.
    const int mode = level == 0 ? kModeOff : kModePwm1;
    for (const int led : {0, 1}) {
        refresh(deviceIndex, LedProbe::kPca9530, led, mode, kIlluminationFrequency, duty);
    }
}

void ledTabPage::buildForm() {
    m_ui = std::make_unique<Ui::ledTabPage>();
    m_ui->setupUi(this);
    showSettings();
    connect(m_ui->cbLedCtrlSel, &QComboBox::currentIndexChanged, this, &ledTabPage::OnLedCtrlSel);
    connect(m_ui->cbLedDevSel, &QComboBox::currentIndexChanged, this, &ledTabPage::OnLedDevSel);
    connect(m_ui->cbLedCfgSel, &QComboBox::currentIndexChanged, this, &ledTabPage::OnLedCfgSel);
    connect(m_ui->leLedDutyCycle, &QLineEdit::textChanged, this, &ledTabPage::OnLedDutyCycle);
    connect(m_ui->cbLedPowerZero, &QComboBox::currentIndexChanged, this,
            &ledTabPage::OnLedPowerZeroSelect);
    connect(m_ui->leLedPWBFreq, &QLineEdit::textChanged, this, &ledTabPage::OnLedPWBFreq);
    connect(m_ui->pbGetLedSettings, &QPushButton::clicked, this, &ledTabPage::OnGetLedSettings);
    connect(m_ui->pbSetLedSettings, &QPushButton::clicked, this, &ledTabPage::OnSetLedSettings);
}

QComboBox* ledTabPage::deviceCombo() const {
    return m_ui->cbDevNoSel;
}

void ledTabPage::readDevice(int index, CamContext*) {
    m_deviceIndex = index;
}

void ledTabPage::showSettings() {
    if (!m_ui) {
        return;
    }
    const QSignalBlocker device(m_ui->cbDevNoSel);
    const QSignalBlocker controller(m_ui->cbLedCtrlSel);
    const QSignalBlocker led(m_ui->cbLedDevSel);
    const QSignalBlocker mode(m_ui->cbLedCfgSel);
    const QSignalBlocker duty(m_ui->leLedDutyCycle);
    const QSignalBlocker power(m_ui->cbLedPowerZero);
    const QSignalBlocker frequency(m_ui->leLedPWBFreq);
    m_ui->cbDevNoSel->setCurrentIndex(m_deviceIndex);
    m_ui->cbLedCtrlSel->setCurrentIndex(m_controller);
    m_ui->cbLedDevSel->setCurrentIndex(m_led);
    m_ui->cbLedCfgSel->setCurrentIndex(m_mode);
    m_ui->leLedDutyCycle->setText(QString::number(m_duty));
    m_ui->cbLedPowerZero->setCurrentIndex(m_powerAtZeroOn ? kPowerAtZeroOn : 1);
    m_ui->leLedPWBFreq->setText(QString::number(m_frequency, 'g', QLocale::FloatingPointShortest));
}

void ledTabPage::OnLedCtrlSel(int nCtrlSel) {
    m_controller = nCtrlSel;
}

void ledTabPage::OnLedCfgSel(int nCfgSel) {
    m_mode = nCfgSel;
}

void ledTabPage::OnLedDevSel(int nLedSel) {
    m_led = nLedSel;
}

void ledTabPage::OnLedDutyCycle(const QString& text) {
    bool ok = false;
    const int duty = text.toInt(&ok);
    if (ok) {
        m_duty = duty;
    }
}

void ledTabPage::OnLedPowerZeroSelect(int nPowerSel) {
    m_powerAtZeroOn = nPowerSel == kPowerAtZeroOn;
}

void ledTabPage::OnLedPWBFreq(const QString& text) {
    bool ok = false;
    const double frequency = text.toDouble(&ok);
    if (ok && std::isfinite(frequency)) {
        m_frequency = frequency;
    }
}

void ledTabPage::OnSetLedSettings() {
    apply(m_controller, m_led, m_mode, m_frequency, m_duty);
}

void ledTabPage::OnGetLedSettings() {
    CamContext* handle = m_deviceIndex < 0 ? nullptr : handleAt(m_deviceIndex);
    if (!available() || handle == nullptr) {
        return;
    }
    CxLedBus bus(handle);
    const auto setting = LedReadBack(bus).read(m_controller, m_led);
    if (!setting) {
        PromptService::warning(this, QStringLiteral("LED Tool Page"),
                               QStringLiteral("WARNING::Fail to read the LED settings back!!!"));
        return;
    }
    m_mode = setting->mode;
    m_duty = setting->duty;
    if (setting->frequency) {
        m_frequency = *setting->frequency;
    }
    showSettings();
}

}  // namespace hv
