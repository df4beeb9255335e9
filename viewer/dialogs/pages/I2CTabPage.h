// The I2C page of the setup dialog: reads and writes single registers of any I2C device on the
// camera board, chosen from the list of the board's parts or given by hand ("Custom_16",
// "Custom_08"). Values are typed and shown in hexadecimal.
//
// A read whose transfer fails shows "--" and a write whose transfer fails is reported, both on
// the page's status line, so that a failure never looks like a register value. (A part that does
// not acknowledge reads as the board's bridge filler, 0xCD, and refuses writes.)
#pragma once

#include <cstdint>

#include "TabPage.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace hv {

class I2CTabPage : public TabPage {
    Q_OBJECT

public:
    explicit I2CTabPage(QWidget* parent = nullptr);

    // The single I2C page (created on the first call); null when its creation failed.
    static I2CTabPage* instance();

    // The chosen type's entry: the I2C id in bits 0-7, bit 8 set for 16-bit register addresses.
    int deviceEntry() const { return m_entry; }
    int registerAddress() const { return m_address; }
    int registerData() const { return m_data; }

public slots:
    void OnChangeI2CDev(int index);
    // Text changed: read as hexadecimal and recorded (text that is no such number records 0).
    void OnI2CBoardId(const QString& text);
    void OnI2CRegAddr(const QString& text);
    void OnI2CRegData(const QString& text);
    void OnGetI2CRegData();
    void OnSetI2CRegData();

protected:
    void buildForm() override;
    QComboBox* deviceCombo() const override;
    // The page keeps no device state: the choice only records the device.
    void readDevice(int index, CamContext* handle) override;

private:
    bool wide() const { return (m_entry & kWideAddresses) != 0; }
    QString target() const;

    static constexpr int kWideAddresses = 0x100;

    QComboBox* m_devices = nullptr;
    QComboBox* m_types = nullptr;
    QLineEdit* m_idEdit = nullptr;
    QLineEdit* m_addressEdit = nullptr;
    QLineEdit* m_dataEdit = nullptr;
    QPushButton* m_read = nullptr;
    QPushButton* m_write = nullptr;
    QLabel* m_status = nullptr;

    int m_deviceIndex = -1;
    int m_type = 0;
    int m_entry = 0;
    int m_address = 0;
    int m_data = 0;
};

}  // namespace hv
