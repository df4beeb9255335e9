// The FPGA/MCU page of the setup dialog: the FPGA's and the USB controller's firmware versions
// of the chosen board, twelve maintenance commands (register file, FPGA start-up, the four
// firmware loads, the flash erase, the memory test, the version read-out, the FIFO reset, the
// gamma table upload and read-back), the FPGA's image functions switched on and off, the gamma
// table in use, and any FPGA register read or written.
//
// The page keeps what it wrote: motion compensation and the gamma table start off and on (table
// 0) after each initialisation, and the dampening coefficient can only be set or shown while
// motion compensation is on. A controller firmware load (to RAM or EEPROM) ends the program: the
// page raises exitAppSignal, which the main window takes to its exit path.
//
// Used on the GUI thread only.
#pragma once

#include <array>
#include <chrono>

#include "TabPage.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace hv {

class FPGATabPage : public TabPage {
    Q_OBJECT

public:
    // The FPGA and the sensor controller on the board's I2C bus.
    static constexpr int kFpgaSlave = 0x3C;
    static constexpr int kSensorSlave = 0x35;

    explicit FPGATabPage(QWidget* parent = nullptr);

    // The single FPGA page (created on the first call); null when its creation failed.
    static FPGATabPage* instance();

    // The page's initialisation, then the set-up of the first device: versions shown, register
    // fields "0000", gamma table 0 on, motion compensation off.
    void initialise(QWidget* parent, int deviceCount, const QStringList& deviceNames,
                    const QList<CamContext*>& deviceHandles) override;

    // Each wait around the stream stop of the firmware loads and the flash erase (1 s).
    void setSettleTime(std::chrono::milliseconds settle) { m_settle = settle; }

    // The device chosen (-1: none) and what the page recorded.
    int deviceIndex() const { return m_deviceIndex; }
    bool motionCompensationOn() const { return m_motionCompensation; }
    bool gammaOn() const { return m_gammaOn; }
    int gammaTable() const { return m_gammaTable; }
    int registerAddress() const { return m_regAddress; }
    int registerData() const { return m_regData; }

signals:
    // A controller firmware load ran: the board leaves the bus and the program ends.
    void exitAppSignal();

public slots:
    void OnSelectedCmd(int nCmdSel);
    void OnEnableSel(int nEnableSel);
    void OnDisableSel(int nDisableSel);
    void OnGammaTableSelected(int nGammaSel);
    void OnFPGARegAddr(const QString& text);
    void OnFPGARegData(const QString& text);
    void OnGetFPGARegData();
    void OnSetFPGARegData();

protected:
    void buildForm() override;
    QComboBox* deviceCombo() const override { return m_deviceCombo; }
    // The choice only records the device.
    void readDevice(int index, CamContext* handle) override;

private:
    // A command combo item and what it runs.
    struct Command {
        const char* text;
        void (FPGATabPage::*run)();
    };
    // The command combo's items, in order.
    static const std::array<Command, 12>& commands();

    // The commands.
    void initializeRegisters();
    void initializeFpga();
    void loadFpga();
    void loadFpgaToFlash();
    void eraseFlash();
    void loadMcu();
    void loadMcuToEeprom();
    void testMemory();
    void updateRegistersValue();
    void resetFifo();
    void uploadGamma();
    void downloadGamma();

    void setUpDevice();
    void connectSlots();
    void showFpgaVersion();
    void showMcuVersion();
    void askDampening();
    void showDampening();
    void warnMotionCompensationOff();
    void selectGammaTable(int table);
    // The chosen device's handle; null without one.
    CamContext* handle() const;
    // Register accesses on the chosen device; false when there is none or the transfer failed.
    bool writeFpga(int reg, int value);
    bool writeSensor(int reg, int value);
    bool readFpga(int reg, int& value);

    QComboBox* m_deviceCombo = nullptr;
    QLineEdit* m_fpgaVersion = nullptr;
    QLineEdit* m_mcuVersion = nullptr;
    QComboBox* m_commands = nullptr;
    QComboBox* m_enable = nullptr;
    QComboBox* m_disable = nullptr;
    QComboBox* m_gamma = nullptr;
    QLineEdit* m_regAddressEdit = nullptr;
    QLineEdit* m_regDataEdit = nullptr;
    QPushButton* m_readButton = nullptr;
    QPushButton* m_writeButton = nullptr;

    int m_deviceIndex = -1;
    bool m_motionCompensation = false;
    bool m_gammaOn = false;
    int m_gammaTable = 0;
    int m_regAddress = 0;
    int m_regData = 0;
    bool m_connected = false;
    std::chrono::milliseconds m_settle{1000};
};

}  // namespace hv
