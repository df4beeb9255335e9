// The AWB page of the setup dialog: the white balance of the chosen board's sensor controller.
// Whether AWB runs and whether it sits before or after the colour gains, whether the gains are
// automatic, manual or off, fast AWB, and the three manual gains, each shown by a slider and a
// spin box that stay in step with each other and with the board.
//
// Sensor controller registers (I2C 0x35, 16-bit addresses):
//   0x4000 bit 4 AWB on, bit 3 gain control on
//   0x4100 bit 2 AWB before the gains, bit 3 manual gains, bit 6 fast AWB
//   0x4106/0x4107, 0x4108/0x4109, 0x410A/0x410B  red, green and blue gain, 0..4095
// The modes are single bits, changed by read-modify-write; the gains are compared with what the
// board holds, not with what the page last wrote.
#pragma once

#include <array>
#include <memory>

#include "RegisterTabPage.h"

class QSlider;
class QSpinBox;

namespace Ui {
class AWBTabPage;
}

namespace hv {

class AWBTabPage : public RegisterTabPage {
    Q_OBJECT

public:
    explicit AWBTabPage(QWidget* parent = nullptr);
    ~AWBTabPage() override;

    // The single AWB page (created on the first call); null when its creation failed.
    static AWBTabPage* instance();

public slots:
    // A new device (index not negative and not the current one) is set up again.
    void OnDevNoSel(int nDevNoSel) override;
    // "Before AWB Gain", "After AWB Gain", "Disable".
    void OnAWBSel(int nAwbSel);
    // "Auto", "Manual", "Disable"; the gain widgets are enabled exactly while gains are manual.
    void OnAWBGainSel(int nGainSel);
    // "Enable", "Disable".
    void OnFastAWBSel(int nFastSel);
    // The gain slots: each writes the gain (when the board holds another) and puts the other
    // widget of its colour to it. Connected to redGainSlider, redSpinBox, greenSpinBox,
    // greenGainSlider, blueSpinBox and blueGainSlider respectively.
    void setRedSpinBoxValue(int value);
    void setRedSliderValue(int value);
    void setGreenSpinBoxValue(int value);
    void setGreenSliderValue(int value);
    void setBlueSpinBoxValue(int value);
    void setBlueSliderValue(int value);

protected:
    void buildForm() override;
    QComboBox* deviceCombo() const override;
    // Records the device and sets it up.
    void readDevice(int index, CamContext* handle) override;

private:
    enum Colour { Red, Green, Blue };
    // Which widget of a colour changed.
    enum class Moved { Slider, SpinBox };
    // The two widgets that show a colour's gain.
    struct GainWidgets {
        QSlider* slider = nullptr;
        QSpinBox* spinBox = nullptr;
    };

    // The device's white balance to its starting state: AWB on before the gains, automatic
    // gains, all three gains 1200; fast AWB as the device has it.
    void setUpDevice();
    // A gain widget of colour shows value: the board gets it when it holds another, and the
    // other widget of the colour shows it too.
    void changeGain(Colour colour, int value, Moved moved);
    // The two mode bits of AWB and of the gains, as recorded.
    void writeAwbBits();
    void writeGainBits();
    // fastAwbSel usable while AWB runs, showing the recorded choice.
    void showFastAwb();
    // The gain widgets usable exactly while gains are manual.
    void enableGainWidgets();

    std::unique_ptr<Ui::AWBTabPage> m_ui;
    // By Colour.
    std::array<GainWidgets, 3> m_gains{};
    int m_awbMode = 0;
    int m_gainMode = 0;
    int m_fastAwbIndex = 1;
    bool m_awbOn = true;
    bool m_awbBeforeGain = true;
    bool m_gainControlOn = true;
    bool m_manualGain = false;
    bool m_fastAwbOn = false;
};

}  // namespace hv
