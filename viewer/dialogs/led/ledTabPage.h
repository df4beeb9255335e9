// The LED page of the setup dialog and the logic behind the board's illumination: it finds the
// LED controller (a PCA9633 at 0x62 or a PCA9530 at 0x60) and turns an LED setting (controller,
// LED, mode, PWM frequency, duty cycle) into register writes. Start-up asks it whether a
// controller answered and sets the illumination through it.
#pragma once

#include <memory>

#include "TabPage.h"

namespace Ui {
class ledTabPage;
}

namespace hv {

class ledTabPage : public TabPage {
    Q_OBJECT

public:
    explicit ledTabPage(QWidget* parent = nullptr);
    ~ledTabPage() override;

    // The single LED page (created on the first call); null when its creation failed.
    static ledTabPage* instance();

    // The page's initialisation, then the probe and a refresh with the recorded values.
    void initialise(QWidget* parent, int deviceCount, const QStringList& deviceNames,
                    const QList<CamContext*>& deviceHandles) override;

    // A controller answered the probe.
    bool available() const;
    // The controller that answered first: 0 PCA9633, 1 PCA9530; -1 before one answered.
    int controllerFound() const;
    // When available: records the six values, shows them on the page and applies them.
    void refresh(int deviceIndex, int controller, int led, int mode, double frequency, int duty);
    // When available: controller 0 runs the PCA9633 rule, 1 the PCA9530 rule, others nothing.
    void apply(int controller, int led, int mode, double frequency, int duty);
    // The operator's illumination level 0..10 on the controller that answered: a refresh of the
    // PCA9633's lamp channel, or one refresh for each of the PCA9530's two LEDs.
    void setIllumination(int deviceIndex, int level);

public slots:
    void OnLedCtrlSel(int nCtrlSel);
    void OnLedCfgSel(int nCfgSel);
    void OnLedDevSel(int nLedSel);
    // Text that is no decimal number leaves the recorded value as it was.
    void OnLedDutyCycle(const QString& text);
    // Entry 0 "ON", entry 1 "OFF".
    void OnLedPowerZeroSelect(int nPowerSel);
    void OnLedPWBFreq(const QString& text);
    void OnSetLedSettings();
    // Reads the chosen LED's setting back from the chosen controller (LedReadBack) and shows
    // it: mode, duty and, for a PCA9530 blink rate, the frequency. A register that cannot be
    // read is reported and changes nothing.
    void OnGetLedSettings();

protected:
    void buildForm() override;
    QComboBox* deviceCombo() const override;
    // The LED controller keeps no state the page reads: the choice only records the device.
    void readDevice(int index, CamContext* handle) override;

private:
    // Shows the recorded values in the widgets without running their slots.
    void showSettings();
    void probe();

    std::unique_ptr<Ui::ledTabPage> m_ui;
    int m_controllerFound = -1;
    int m_deviceIndex = 0;
    int m_controller = 0;
    int m_led = 2;
    int m_mode = 2;
    int m_duty = 0;
    double m_frequency = 190.0;
    bool m_powerAtZeroOn = false;
};

}  // namespace hv
