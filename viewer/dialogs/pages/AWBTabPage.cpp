#include "AWBTabPage.h"

#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <array>

#include "ColourGainRegisters.h"
#include "SensorRegisters.h"
#include "SingleInstances.h"
#include "ui_AWBTabPage.h"

namespace hv {

namespace {

constexpr int kRegIspControl = 0x4000;
constexpr int kAwbOnBit = 4;
constexpr int kGainControlBit = 3;
constexpr int kRegAwbControl = 0x4100;
constexpr int kAwbBeforeGainBit = 2;
constexpr int kManualGainBit = 3;
constexpr int kFastAwbBit = 6;

// Red, green and blue, in the order of the page's Colour.
constexpr std::array<ColourGainRegisters, 3> kGains{
    ColourGainRegisters(0x4106), ColourGainRegisters(0x4108), ColourGainRegisters(0x410A)};
constexpr int kStartGain = 1200;

// awbSel: "Before AWB Gain", "After AWB Gain", "Disable".
constexpr int kAwbBefore = 0;
constexpr int kAwbOff = 2;
// awbGainSel: "Auto", "Manual", "Disable".
constexpr int kGainAuto = 0;
constexpr int kGainManual = 1;
constexpr int kGainOff = 2;
// fastAwbSel: "Enable", "Disable".
constexpr int kFastAwbEnable = 0;
constexpr int kFastAwbDisable = 1;

}  // namespace

AWBTabPage::AWBTabPage(QWidget* parent) : RegisterTabPage(parent) {}

AWBTabPage::~AWBTabPage() = default;

AWBTabPage* AWBTabPage::instance() {
    return SingleInstances::get<AWBTabPage>();
}

void AWBTabPage::buildForm() {
    m_ui = std::make_unique<Ui::AWBTabPage>();
    m_ui->setupUi(this);
    m_gains = {GainWidgets{m_ui->redGainSlider, m_ui->redSpinBox},
               GainWidgets{m_ui->greenGainSlider, m_ui->greenSpinBox},
               GainWidgets{m_ui->blueGainSlider, m_ui->blueSpinBox}};
    connect(m_ui->awbSel, &QComboBox::activated, this, &AWBTabPage::OnAWBSel);
    connect(m_ui->awbGainSel, &QComboBox::activated, this, &AWBTabPage::OnAWBGainSel);
    connect(m_ui->fastAwbSel, &QComboBox::activated, this, &AWBTabPage::OnFastAWBSel);
    connect(m_ui->redGainSlider, &QSlider::valueChanged, this, &AWBTabPage::setRedSpinBoxValue);
    connect(m_ui->redSpinBox, &QSpinBox::valueChanged, this, &AWBTabPage::setRedSliderValue);
    connect(m_ui->greenSpinBox, &QSpinBox::valueChanged, this, &AWBTabPage::setGreenSpinBoxValue);
    connect(m_ui->greenGainSlider, &QSlider::valueChanged, this, &AWBTabPage::setGreenSliderValue);
    connect(m_ui->blueSpinBox, &QSpinBox::valueChanged, this, &AWBTabPage::setBlueSpinBoxValue);
    connect(m_ui->blueGainSlider, &QSlider::valueChanged, this, &AWBTabPage::setBlueSliderValue);
}

QComboBox* AWBTabPage::deviceCombo() const {
    return m_ui->cbDevNoSel;
}

void AWBTabPage::readDevice(int index, CamContext*) {
    chooseDevice(index);
    setUpDevice();
}

void AWBTabPage::OnDevNoSel(int nDevNoSel) {
    if (nDevNoSel >= 0 && nDevNoSel != deviceIndex()) {
        readDevice(nDevNoSel, handleAt(nDevNoSel));
    }
}

void AWBTabPage::setUpDevice() {
    SensorRegisters sensor(port(), device());

    m_awbMode = kAwbBefore;
    m_awbOn = true;
    m_awbBeforeGain = true;
    writeAwbBits();
    m_ui->awbSel->setCurrentIndex(m_awbMode);

    m_gainMode = kGainAuto;
    m_gainControlOn = true;
    m_manualGain = false;
    writeGainBits();
    m_ui->awbGainSel->setCurrentIndex(m_gainMode);

    int control = 0;
    sensor.read(kRegAwbControl, control);
    m_fastAwbOn = (control & 1 << kFastAwbBit) != 0;
    m_fastAwbIndex = m_fastAwbOn ? kFastAwbEnable : kFastAwbDisable;
    showFastAwb();
    enableGainWidgets();

    for (const Colour colour : {Red, Green, Blue}) {
        kGains[colour].write(sensor, kStartGain, ColourGainRegisters::Order::LowFirst);
        // The board holds the gain already: the widgets only show it.
        const QSignalBlocker quietSlider(m_gains[colour].slider);
        const QSignalBlocker quietSpinBox(m_gains[colour].spinBox);
        m_gains[colour].slider->setRange(0, ColourGainRegisters::kMax);
        m_gains[colour].spinBox->setRange(0, ColourGainRegisters::kMax);
        m_gains[colour].slider->setValue(kStartGain);
        m_gains[colour].spinBox->setValue(kStartGain);
    }
}

void AWBTabPage::writeAwbBits() {
    if (CamContext* handle = device()) {
        SensorRegisters sensor(port(), handle);
        sensor.setBits(kRegIspControl, 1 << kAwbOnBit, m_awbOn);
        sensor.setBits(kRegAwbControl, 1 << kAwbBeforeGainBit, m_awbBeforeGain);
    }
}

void AWBTabPage::writeGainBits() {
    if (CamContext* handle = device()) {
        SensorRegisters sensor(port(), handle);
        sensor.setBits(kRegIspControl, 1 << kGainControlBit, m_gainControlOn);
        sensor.setBits(kRegAwbControl, 1 << kManualGainBit, m_manualGain);
    }
}

void AWBTabPage::OnAWBSel(int nAwbSel) {
    if (nAwbSel == m_awbMode || nAwbSel < kAwbBefore || nAwbSel > kAwbOff) {
        return;
    }
    if (nAwbSel == kAwbOff) {
        m_awbOn = false;
    } else {
        m_awbOn = true;
        m_awbBeforeGain = nAwbSel == kAwbBefore;
    }
    showFastAwb();
    writeAwbBits();
    m_awbMode = nAwbSel;
}

void AWBTabPage::OnAWBGainSel(int nGainSel) {
    if (nGainSel != m_gainMode && nGainSel >= kGainAuto && nGainSel <= kGainOff) {
        m_gainControlOn = nGainSel != kGainOff;
        m_manualGain = nGainSel == kGainManual;
        writeGainBits();
        m_gainMode = nGainSel;
    }
    enableGainWidgets();
}

void AWBTabPage::OnFastAWBSel(int nFastSel) {
    if (nFastSel == m_fastAwbIndex || nFastSel < kFastAwbEnable || nFastSel > kFastAwbDisable) {
        return;
    }
    m_fastAwbOn = nFastSel == kFastAwbEnable;
    if (CamContext* handle = device()) {
        SensorRegisters(port(), handle).setBits(kRegAwbControl, 1 << kFastAwbBit, m_fastAwbOn);
    }
    m_fastAwbIndex = nFastSel;
}

void AWBTabPage::showFastAwb() {
    m_ui->fastAwbSel->setEnabled(m_awbOn);
    m_ui->fastAwbSel->setCurrentIndex(m_fastAwbIndex);
}

void AWBTabPage::enableGainWidgets() {
    const QList<QWidget*> widgets = {
        m_ui->redGainSlider, m_ui->greenGainSlider, m_ui->blueGainSlider, m_ui->redSpinBox,
        m_ui->greenSpinBox,  m_ui->blueSpinBox,     m_ui->lbRedGain,      m_ui->lbGreenGain,
        m_ui->lbBlueGain,    m_ui->lbRed,           m_ui->lbCyan,         m_ui->lbGreen,
        m_ui->lbMagenta,     m_ui->lbBlue,          m_ui->lbYellow};
    for (QWidget* widget : widgets) {
        widget->setEnabled(m_manualGain);
    }
}

void AWBTabPage::changeGain(Colour colour, int value, Moved moved) {
    const int gain = value & ColourGainRegisters::kMax;
    if (CamContext* handle = device()) {
        SensorRegisters sensor(port(), handle);
        if (kGains[colour].read(sensor) != gain) {
            kGains[colour].write(sensor, gain, ColourGainRegisters::Order::HighFirst);
        }
    }
    // The other widget's own slot runs when its value changes: it finds the board at the gain
    // already and writes nothing.
    if (moved == Moved::Slider) {
        m_gains[colour].spinBox->setValue(gain);
    } else {
        m_gains[colour].slider->setValue(gain);
    }
}

void AWBTabPage::setRedSpinBoxValue(int value) {
    changeGain(Red, value, Moved::Slider);
}

void AWBTabPage::setRedSliderValue(int value) {
    changeGain(Red, value, Moved::SpinBox);
}

void AWBTabPage::setGreenSpinBoxValue(int value) {
    changeGain(Green, value, Moved::SpinBox);
}

void AWBTabPage::setGreenSliderValue(int value) {
    changeGain(Green, value, Moved::Slider);
}

void AWBTabPage::setBlueSpinBoxValue(int value) {
    changeGain(Blue, value, Moved::SpinBox);
}

void AWBTabPage::setBlueSliderValue(int value) {
    changeGain(Blue, value, Moved::Slider);
}

}  // namespace hv
