#include "FPGATabPage.h"

#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <kxCxApi.h>
#include "BoardVersions.h"
#include "DampeningCoefficient.h"
#include "FirmwareLoad.h"
#include "FlashErase.h"
#include "FpgaMemoryTest.h"
#include "GammaTableTransfer.h"
#include "ProgressDialog.h"
#include "PromptService.h"
#include "SingleInstances.h"
#include "VelquinRoot.h"

namespace hv {

namespace {

const QString kTitle = QStringLiteral("FPGA Utility Tools");

// FPGA registers.
constexpr int kRegPatternSource = 0x1A;
constexpr int kRegMedianFilter = 0x20;
constexpr int kRegDampening = 0x21;
constexpr int kRegMotionCompensation = 0x27;
constexpr int kRegGammaEnable = 0x2B;
constexpr int kRegGammaSelect = 0x2C;
constexpr int kRegHdmiOutput = 0x7A;
// The FPGA's picture sources.
constexpr int kSourceCamera = 0;
constexpr int kSourceColourBars = 1;
constexpr int kSourcePatterns = 3;
// The sensor controller's colour bars.
constexpr int kRegSensorColourBars = 0x4001;

constexpr int kOn = 1;
constexpr int kOff = 0;

// The enable and disable lists, in combo order.
enum Function {
    kHdmi,
    kMotionCompensation,
    kDampening,
    kMedianFilter,
    kSensorColourBars,
    kFpgaColourBars,
    kPatterns,
    kGammaTable,
};

const QStringList kEnableItems = {QStringLiteral("  HDMI"),
                                  QStringLiteral("  Motion Comp."),
                                  QStringLiteral("  Dampening Coeff."),
                                  QStringLiteral("  Median Filter"),
                                  QStringLiteral("  Colorbars (420)"),
                                  QStringLiteral("  Colorbars (FPGA)"),
                                  QStringLiteral("  Patterns "),
                                  QStringLiteral("  Gamma Table")};
const QStringList kDisableItems = {QStringLiteral("  HDMI"),
                                   QStringLiteral("  Motion Comp."),
                                   QStringLiteral("  Dampening Coeff."),
                                   QStringLiteral("  Median Filter"),
                                   QStringLiteral("  Colorbars (420)"),
                                   QStringLiteral("  Colorbars (FPGA)"),
                                   QStringLiteral("  Patterns"),
                                   QStringLiteral("  Gamma Table")};
const QStringList kGammaItems = {
    QStringLiteral("  No Slope (0)"),     QStringLiteral("  Easy Slope (1)"),
    QStringLiteral("  Medium Slope (2)"), QStringLiteral("  Steeper Slope (3)"),
    QStringLiteral("  Red (4)"),          QStringLiteral("  Green (5)"),
    QStringLiteral("  Blue (6)")};

const QString kRegisterFieldStart = QStringLiteral("0000");
constexpr int kRegisterProgressEnd = 220;
constexpr int kRegisterMask = 0xFFFF;

// A hexadecimal field's value, or none for text that is no hexadecimal number.
std::optional<int> hexadecimal(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 16);
    if (!ok || value < 0) {
        return std::nullopt;
    }
    return value & kRegisterMask;
}

// "Done", "Aborted" or "Failed" for a step whose result counts when positive.
QString outcome(int result, bool cancelled) {
    return result > 0  ? QStringLiteral("Done")
           : cancelled ? QStringLiteral("Aborted")
                       : QStringLiteral("Failed");
}

}  // namespace

const std::array<FPGATabPage::Command, 12>& FPGATabPage::commands() {
    static const std::array<Command, 12> table = {{
        {"  Initialize Registers", &FPGATabPage::initializeRegisters},
        {"  Initialize FPGA", &FPGATabPage::initializeFpga},
        {"  Load FPGA FW", &FPGATabPage::loadFpga},
        {"  Load FPGA FW to Flash", &FPGATabPage::loadFpgaToFlash},
        {"  Erase FPGA FW from Flash", &FPGATabPage::eraseFlash},
        {"  Load MCU FW", &FPGATabPage::loadMcu},
        {"  Load MCU FW to EEPROM", &FPGATabPage::loadMcuToEeprom},
        {"  FPGA Memory Test", &FPGATabPage::testMemory},
        {"  Update Registers Value", &FPGATabPage::updateRegistersValue},
        {"  Reset FIFO Buffer", &FPGATabPage::resetFifo},
        {"  Upload Gamma Table", &FPGATabPage::uploadGamma},
        {"  Download Gamma Table", &FPGATabPage::downloadGamma},
    }};
    return table;
}

FPGATabPage::FPGATabPage(QWidget* parent) : TabPage(parent) {}

FPGATabPage* FPGATabPage::instance() {
    return SingleInstances::get<FPGATabPage>();
}

void FPGATabPage::buildForm() {
    auto* layout = new QGridLayout(this);
    int row = 0;
    const auto addRow = [&](const QString& text, QWidget* widget) {
        if (!text.isEmpty()) {
            layout->addWidget(new QLabel(text, this), row, 0);
        }
        layout->addWidget(widget, row, 1);
        ++row;
    };
    const auto combo = [this](const char* name, const QStringList& items) {
        auto* box = new QComboBox(this);
        box->setObjectName(QLatin1String(name));
        box->addItems(items);
        return box;
    };
    const auto field = [this](const char* name, bool readOnly) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setReadOnly(readOnly);
        return edit;
    };

    m_deviceCombo = combo("cbDevNoSel", {});
    addRow(QStringLiteral("  Device#"), m_deviceCombo);
    m_fpgaVersion = field("fpgaVersionEdit", true);
    addRow(QStringLiteral("  FPGA FW Ver. #"), m_fpgaVersion);
    m_mcuVersion = field("mcuVersionEdit", true);
    addRow(QStringLiteral("  MCU FW Ver. #"), m_mcuVersion);
    QStringList commandItems;
    for (const Command& command : commands()) {
        commandItems << QLatin1String(command.text);
    }
    m_commands = combo("cmdSel", commandItems);
    addRow(QString(), m_commands);
    m_enable = combo("enableSel", kEnableItems);
    addRow(QStringLiteral("  Enable"), m_enable);
    m_disable = combo("disableSel", kDisableItems);
    addRow(QStringLiteral("  Disable"), m_disable);
    m_gamma = combo("gammaTableSel", kGammaItems);
    addRow(QStringLiteral("  Gamma Table"), m_gamma);
    m_regAddressEdit = field("fpgaRegAddrEdit", false);
    m_regAddressEdit->setToolTip(QStringLiteral("Register Address"));
    addRow(QStringLiteral("  Reg. Address"), m_regAddressEdit);
    m_regDataEdit = field("fpgaRegDataEdit", false);
    m_regDataEdit->setToolTip(QStringLiteral("Register Data"));
    addRow(QStringLiteral("  Reg. Data"), m_regDataEdit);
    m_readButton = new QPushButton(QStringLiteral("Read Register"), this);
    m_readButton->setObjectName(QStringLiteral("getFPGARegDataButton"));
    m_readButton->setToolTip(QStringLiteral("Get I2C Register Data"));
    m_writeButton = new QPushButton(QStringLiteral("Write Register"), this);
    m_writeButton->setObjectName(QStringLiteral("setFPGARegDataButton"));
    m_writeButton->setToolTip(QStringLiteral("Set I2C Register Data"));
    layout->addWidget(m_readButton, row, 0);
    layout->addWidget(m_writeButton, row, 1);
    layout->setRowStretch(row + 1, 1);
}

void FPGATabPage::initialise(QWidget* parent, int deviceCount, const QStringList& deviceNames,
                             const QList<CamContext*>& deviceHandles) {
    m_deviceIndex = -1;
    TabPage::initialise(parent, deviceCount, deviceNames, deviceHandles);
    setUpDevice();
    if (!m_connected) {
        connectSlots();
        m_connected = true;
    }
}

void FPGATabPage::readDevice(int index, CamContext*) {
    m_deviceIndex = index;
}

void FPGATabPage::setUpDevice() {
    m_commands->setCurrentIndex(0);
    showFpgaVersion();
    showMcuVersion();
    {
        const QSignalBlocker address(m_regAddressEdit);
        const QSignalBlocker data(m_regDataEdit);
        m_regAddressEdit->setText(kRegisterFieldStart);
        m_regDataEdit->setText(kRegisterFieldStart);
    }
    m_regAddress = 0;
    m_regData = 0;
    // The gamma stage on with table 0.
    m_gamma->setCurrentIndex(0);
    m_gamma->setEnabled(true);
    m_gammaOn = true;
    selectGammaTable(0);
    // Motion compensation off.
    int motion = 0;
    if (readFpga(kRegMotionCompensation, motion) && motion != 0) {
        writeFpga(kRegMotionCompensation, kOff);
    }
    m_motionCompensation = false;
}

void FPGATabPage::connectSlots() {
    connect(m_commands, &QComboBox::activated, this, &FPGATabPage::OnSelectedCmd);
    connect(m_enable, &QComboBox::activated, this, &FPGATabPage::OnEnableSel);
    connect(m_disable, &QComboBox::activated, this, &FPGATabPage::OnDisableSel);
    connect(m_gamma, &QComboBox::activated, this, &FPGATabPage::OnGammaTableSelected);
    connect(m_regAddressEdit, &QLineEdit::textChanged, this, &FPGATabPage::OnFPGARegAddr);
    connect(m_regDataEdit, &QLineEdit::textChanged, this, &FPGATabPage::OnFPGARegData);
    connect(m_readButton, &QPushButton::clicked, this, &FPGATabPage::OnGetFPGARegData);
    connect(m_writeButton, &QPushButton::clicked, this, &FPGATabPage::OnSetFPGARegData);
}

CamContext* FPGATabPage::handle() const {
    return m_deviceIndex < 0 ? nullptr : handleAt(m_deviceIndex);
}

bool FPGATabPage::writeFpga(int reg, int value) {
    CamContext* board = handle();
    return board != nullptr && writeRegister(board, kFpgaSlave, reg, value, 0) == 1;
}

bool FPGATabPage::writeSensor(int reg, int value) {
    CamContext* board = handle();
    return board != nullptr && writeRegister(board, kSensorSlave, reg, value, 1) == 1;
}

bool FPGATabPage::readFpga(int reg, int& value) {
    CamContext* board = handle();
    value = 0;
    return board != nullptr && readRegister(board, kFpgaSlave, reg, &value, 0) == 1;
}

void FPGATabPage::showFpgaVersion() {
    CamContext* board = handle();
    if (board == nullptr) {
        m_fpgaVersion->clear();
        return;
    }
    m_fpgaVersion->setText(QStringLiteral("  V%1.%2")
                               .arg(BoardVersions::fpgaMajor(board), 0, 16)
                               .arg(BoardVersions::fpgaMinor(board), 0, 16));
}

void FPGATabPage::showMcuVersion() {
    CamContext* board = handle();
    if (board == nullptr) {
        m_mcuVersion->clear();
        return;
    }
    m_mcuVersion->setText(QStringLiteral("V%1").arg(BoardVersions::mcu(board), 0, 16));
}

void FPGATabPage::OnSelectedCmd(int nCmdSel) {
    if (nCmdSel < 0 || nCmdSel >= static_cast<int>(commands().size()) || handle() == nullptr) {
        return;
    }
    (this->*commands()[static_cast<std::size_t>(nCmdSel)].run)();
}

void FPGATabPage::initializeRegisters() {
    const QString file = PromptService::current().openFileName(
        this, QStringLiteral("Open File"), QString::fromStdString(VelquinRoot::folder().string()),
        QStringLiteral("Registers file (*.txt)"));
    if (file.isEmpty()) {
        return;
    }
    ProgressDialog::open(QStringLiteral("Loading Registers File..."), QStringLiteral("Cancel"),
                         kRegisterProgressEnd, this);
    const int result =
        sendRegFile(handle(), QFile::encodeName(file).constData(), ProgressDialog::callback);
    ProgressDialog::update(kRegisterProgressEnd, nullptr);
    ProgressDialog::close();
    PromptService::information(this, kTitle,
                               QStringLiteral("Loading Registers File %1 ... %2 ...")
                                   .arg(file, outcome(result, ProgressDialog::cancelled())));
}

void FPGATabPage::initializeFpga() {
    const int result = initFPGA(handle());
    if (result == 0) {
        PromptService::information(this, kTitle, QStringLiteral("FPGA initialization successful."));
    } else {
        PromptService::warning(
            this, kTitle,
            QStringLiteral("ERROR:: Fail to Initialize FPGA due to error code %1...").arg(result));
    }
}

void FPGATabPage::loadFpga() {
    if (FirmwareLoad::run(this, handle(), FirmwareLoad::Kind::Fpga, m_settle).attempted) {
        showFpgaVersion();
    }
}

void FPGATabPage::loadFpgaToFlash() {
    FirmwareLoad::run(this, handle(), FirmwareLoad::Kind::FpgaFlash, m_settle);
}

void FPGATabPage::eraseFlash() {
    FlashErase::run(this, handle(), m_settle);
}

void FPGATabPage::loadMcu() {
    if (FirmwareLoad::run(this, handle(), FirmwareLoad::Kind::Mcu, m_settle).attempted) {
        emit exitAppSignal();
    }
}

void FPGATabPage::loadMcuToEeprom() {
    if (FirmwareLoad::run(this, handle(), FirmwareLoad::Kind::McuEeprom, m_settle).attempted) {
        emit exitAppSignal();
    }
}

void FPGATabPage::testMemory() {
    ProgressDialog::open(QStringLiteral("FPGA Memory Test..."), QStringLiteral("Cancel"),
                         FpgaMemoryTest::kProgressEnd, this);
    const FpgaMemoryTest::Result result = FpgaMemoryTest::run(handle(), [](int value) {
        bool cancelled = false;
        ProgressDialog::update(value, &cancelled);
        return !cancelled;
    });
    ProgressDialog::close();
    const QString verdict = result == FpgaMemoryTest::Result::Passed   ? QStringLiteral("Passed")
                            : result == FpgaMemoryTest::Result::Failed ? QStringLiteral("Failed")
                                                                       : QStringLiteral("Aborted");
    PromptService::information(this, kTitle, QStringLiteral("Memory Test ... %1...").arg(verdict));
}

void FPGATabPage::updateRegistersValue() {
    showFpgaVersion();
}

void FPGATabPage::resetFifo() {
    if (resetUsbFifo(handle()) == 0) {
        PromptService::information(this, kTitle, QStringLiteral("Reset USB FIFO successfully."));
    } else {
        PromptService::warning(this, kTitle, QStringLiteral("ERROR:: Fail to USB FIFO..."));
    }
}

void FPGATabPage::uploadGamma() {
    GammaTableTransfer::upload(this, handle());
}

void FPGATabPage::downloadGamma() {
    GammaTableTransfer::download(this, handle());
}

void FPGATabPage::OnEnableSel(int nEnableSel) {
    if (handle() == nullptr) {
        return;
    }
    switch (nEnableSel) {
        case kHdmi:
            writeFpga(kRegHdmiOutput, kOn);
            break;
        case kMotionCompensation:
            m_motionCompensation = true;
            writeFpga(kRegMotionCompensation, kOn);
            break;
        case kDampening:
            askDampening();
            break;
        case kMedianFilter:
            writeFpga(kRegMedianFilter, kOn);
            break;
        case kSensorColourBars:
            writeFpga(kRegPatternSource, kSourceCamera);
            writeSensor(kRegSensorColourBars, kOn);
            break;
        case kFpgaColourBars:
            writeSensor(kRegSensorColourBars, kOff);
            writeFpga(kRegPatternSource, kSourceColourBars);
            break;
        case kPatterns:
            writeSensor(kRegSensorColourBars, kOff);
            writeFpga(kRegPatternSource, kSourcePatterns);
            break;
        case kGammaTable:
            writeFpga(kRegGammaEnable, kOn);
            m_gammaOn = true;
            m_gamma->setEnabled(true);
            writeFpga(kRegGammaSelect, m_gammaTable);
            break;
        default:
            break;
    }
}

void FPGATabPage::OnDisableSel(int nDisableSel) {
    if (handle() == nullptr) {
        return;
    }
    switch (nDisableSel) {
        case kHdmi:
            writeFpga(kRegHdmiOutput, kOff);
            break;
        case kMotionCompensation:
            writeFpga(kRegMotionCompensation, kOff);
            m_motionCompensation = false;
            break;
        case kDampening:
            showDampening();
            break;
        case kMedianFilter:
            writeFpga(kRegMedianFilter, kOff);
            break;
        case kSensorColourBars:
            writeSensor(kRegSensorColourBars, kOff);
            break;
        case kFpgaColourBars:
        case kPatterns:
            writeFpga(kRegPatternSource, kSourceCamera);
            break;
        case kGammaTable:
            writeFpga(kRegGammaEnable, kOff);
            m_gammaOn = false;
            m_gamma->setEnabled(false);
            break;
        default:
            break;
    }
}

void FPGATabPage::warnMotionCompensationOff() {
    PromptService::warning(
        this, kTitle,
        QStringLiteral("Motion compensation is off...damping factor is not applicable..."));
}

void FPGATabPage::askDampening() {
    if (!m_motionCompensation) {
        warnMotionCompensationOff();
        return;
    }
    // Cancel in the text box sets nothing.
    const std::optional<QString> text =
        PromptService::current().text(this, QByteArrayLiteral("Dampening Factor <0.0-0.99>:"));
    if (!text) {
        return;
    }
    const std::optional<int> value = DampeningCoefficient::registerValue(*text);
    if (!value) {
        PromptService::warning(
            this, kTitle, QStringLiteral("Illegal Dampening Coefficient Value...%1...").arg(*text));
        return;
    }
    writeFpga(kRegDampening, *value);
}

void FPGATabPage::showDampening() {
    if (!m_motionCompensation) {
        warnMotionCompensationOff();
        return;
    }
    int value = 0;
    if (!readFpga(kRegDampening, value)) {
        PromptService::warning(
            this, kTitle,
            QStringLiteral("ERROR:: Fail to read FPGA register 0x%1...").arg(kRegDampening, 0, 16));
        return;
    }
    PromptService::information(this, kTitle, DampeningCoefficient::describe(value & 0xFF));
}

void FPGATabPage::selectGammaTable(int table) {
    m_gammaTable = table;
    writeFpga(kRegGammaEnable, kOn);
    writeFpga(kRegGammaSelect, table);
}

void FPGATabPage::OnGammaTableSelected(int nGammaSel) {
    selectGammaTable(nGammaSel);
}

void FPGATabPage::OnFPGARegAddr(const QString& text) {
    if (const std::optional<int> value = hexadecimal(text)) {
        m_regAddress = *value;
    }
}

void FPGATabPage::OnFPGARegData(const QString& text) {
    if (const std::optional<int> value = hexadecimal(text)) {
        m_regData = *value;
    }
}

void FPGATabPage::OnGetFPGARegData() {
    if (handle() == nullptr) {
        return;
    }
    int value = 0;
    if (!readFpga(m_regAddress, value)) {
        PromptService::warning(
            this, kTitle,
            QStringLiteral("ERROR:: Fail to read FPGA register 0x%1...").arg(m_regAddress, 0, 16));
        return;
    }
    m_regData = value & 0xFF;
    const QSignalBlocker quiet(m_regDataEdit);
    m_regDataEdit->setText(QStringLiteral("  %1").arg(m_regData, 0, 16));
}

void FPGATabPage::OnSetFPGARegData() {
    if (handle() == nullptr) {
        return;
    }
    if (!writeFpga(m_regAddress, m_regData)) {
        PromptService::warning(
            this, kTitle,
            QStringLiteral("ERROR:: Fail to write FPGA register 0x%1...").arg(m_regAddress, 0, 16));
    }
}

}  // namespace hv
