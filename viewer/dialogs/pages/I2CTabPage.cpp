#include "I2CTabPage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <array>

#include <kxCxApi.h>
#include "SingleInstances.h"

namespace hv {

namespace {

struct DeviceType {
    const char* text;
    int entry;  // I2C id, bit 8 for 16-bit register addresses
};

constexpr std::array<DeviceType, 9> kTypes = {{
    {"Sensor Controller", 0x135},
    {"FPGA", 0x03C},
    {"Mfg Eeprom", 0x054},
    {"Cfg Eeprom", 0x151},
    {"LED Dimmer", 0x062},
    {"Temp Sensor", 0x04B},
    {"ADC", 0x048},
    {"Custom_16", 0x100},
    {"Custom_08", 0x000},
}};

int hexValue(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 16);
    return ok ? value : 0;
}

QLabel* caption(const char* text, QWidget* parent) {
    return new QLabel(QString::fromLatin1(text), parent);
}

}  // namespace

I2CTabPage::I2CTabPage(QWidget* parent) : TabPage(parent) {}

I2CTabPage* I2CTabPage::instance() {
    return SingleInstances::get<I2CTabPage>();
}

void I2CTabPage::buildForm() {
    auto* grid = new QGridLayout(this);
    m_devices = new QComboBox(this);
    m_devices->setObjectName(QStringLiteral("cbDevNoSel"));
    m_types = new QComboBox(this);
    m_types->setObjectName(QStringLiteral("cbI2CDevType"));
    for (const DeviceType& type : kTypes) {
        m_types->addItem(QString::fromLatin1(type.text));
    }
    m_idEdit = new QLineEdit(this);
    m_idEdit->setObjectName(QStringLiteral("leI2CBoardId"));
    m_idEdit->setToolTip(QStringLiteral("I2C ID"));
    m_addressEdit = new QLineEdit(this);
    m_addressEdit->setObjectName(QStringLiteral("leI2CRegAddr"));
    m_addressEdit->setToolTip(QStringLiteral("Register Address"));
    m_dataEdit = new QLineEdit(this);
    m_dataEdit->setObjectName(QStringLiteral("leI2CRegData"));
    m_dataEdit->setToolTip(QStringLiteral("Register Data"));
    m_read = new QPushButton(QStringLiteral("Read Register"), this);
    m_read->setObjectName(QStringLiteral("pbGetI2CRegData"));
    m_read->setToolTip(QStringLiteral("Get I2C Register Data"));
    m_write = new QPushButton(QStringLiteral("Write Register"), this);
    m_write->setObjectName(QStringLiteral("pbSetI2CRegData"));
    m_write->setToolTip(QStringLiteral("Set I2C Register Data"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lbI2CStatus"));

    grid->addWidget(caption("Device#", this), 0, 0);
    grid->addWidget(m_devices, 0, 1);
    grid->addWidget(caption("Type", this), 1, 0);
    grid->addWidget(m_types, 1, 1);
    grid->addWidget(caption("Device ID", this), 2, 0);
    grid->addWidget(m_idEdit, 2, 1);
    grid->addWidget(caption("Reg. Address", this), 3, 0);
    grid->addWidget(m_addressEdit, 3, 1);
    grid->addWidget(caption("Reg. Data", this), 4, 0);
    grid->addWidget(m_dataEdit, 4, 1);
    grid->addWidget(m_read, 5, 0);
    grid->addWidget(m_write, 5, 1);
    grid->addWidget(m_status, 6, 0, 1, 2);
    grid->setRowStretch(7, 1);

    connect(m_types, &QComboBox::currentIndexChanged, this, &I2CTabPage::OnChangeI2CDev);
    connect(m_idEdit, &QLineEdit::textChanged, this, &I2CTabPage::OnI2CBoardId);
    connect(m_addressEdit, &QLineEdit::textChanged, this, &I2CTabPage::OnI2CRegAddr);
    connect(m_dataEdit, &QLineEdit::textChanged, this, &I2CTabPage::OnI2CRegData);
    connect(m_read, &QPushButton::clicked, this, &I2CTabPage::OnGetI2CRegData);
    connect(m_write, &QPushButton::clicked, this, &I2CTabPage::OnSetI2CRegData);
    OnChangeI2CDev(0);
}

QComboBox* I2CTabPage::deviceCombo() const {
    return m_devices;
}

void I2CTabPage::readDevice(int index, CamContext*) {
    m_deviceIndex = index;
}

void I2CTabPage::OnChangeI2CDev(int index) {
    if (index < 0 || index >= static_cast<int>(kTypes.size())) {
        return;
    }
    m_idEdit->setEnabled(false);
    m_type = index;
    m_entry = kTypes[static_cast<std::size_t>(index)].entry;
    {
        const QSignalBlocker id(m_idEdit);
        m_idEdit->setText(QString::asprintf("%02x", m_entry & 0xFF));
    }
    m_address = 0;
    m_data = 0;
    {
        const QSignalBlocker address(m_addressEdit);
        const QSignalBlocker data(m_dataEdit);
        m_addressEdit->setText(QStringLiteral("0000"));
        m_dataEdit->setText(QStringLiteral("0000"));
    }
    m_status->clear();
    m_idEdit->setEnabled(m_types->itemText(index).toLower().startsWith(QStringLiteral("custom")));
}

void I2CTabPage::OnI2CBoardId(const QString& text) {
    m_entry = (hexValue(text) & 0xFF) | (wide() ? kWideAddresses : 0);
}

void I2CTabPage::OnI2CRegAddr(const QString& text) {
    m_address = hexValue(text) & 0xFFFF;
}

void I2CTabPage::OnI2CRegData(const QString& text) {
    m_data = hexValue(text) & 0xFFFF;
}

QString I2CTabPage::target() const {
    return QString::asprintf(wide() ? "device %02x, register %04x" : "device %02x, register %02x",
                             m_entry & 0xFF, m_address);
}

void I2CTabPage::OnGetI2CRegData() {
    CamContext* handle = handleAt(m_deviceIndex);
    int value = 0;
    const bool read = handle != nullptr &&
                      readRegister(handle, m_entry & 0xFF, m_address, &value, wide() ? 1 : 0) == 1;
    m_data = read ? value & 0xFF : 0;
    const QSignalBlocker data(m_dataEdit);
    if (read) {
        m_dataEdit->setText(QString::asprintf("%x", m_data));
        m_status->setText(QStringLiteral("Read %1: %2").arg(target(), m_dataEdit->text()));
    } else {
        m_dataEdit->setText(QStringLiteral("--"));
        m_status->setText(handle == nullptr ? QStringLiteral("No camera device to read from")
                                            : QStringLiteral("Reading %1 failed").arg(target()));
    }
}

void I2CTabPage::OnSetI2CRegData() {
    CamContext* handle = handleAt(m_deviceIndex);
    if (handle == nullptr) {
        m_status->setText(QStringLiteral("No camera device to write to"));
        return;
    }
    const int value = m_data & 0xFF;
    const bool written =
        writeRegister(handle, m_entry & 0xFF, m_address, value, wide() ? 1 : 0) == 1;
    m_status->setText(
        written ? QStringLiteral("Wrote %1 to %2").arg(QString::asprintf("%x", value), target())
                : QStringLiteral("Writing %1 to %2 failed")
                      .arg(QString::asprintf("%x", value), target()));
}

}  // namespace hv
