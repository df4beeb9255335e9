// The AEC+AGC page of the setup dialog: the sensor controller's automatic exposure (AEC) and gain
// (AGC) control. It switches between automatic and manual exposure and gain, sets the manual
// values, the metering window on the 400 × 400 field (size and position), the metering mode with
// its block weights, the brightness target with its stable "in" and "out" bands, and reads the
// average intensity back. While the page is shown, a press on the live canvas moves the metering
// window toward the press and picks the spot block.
//
// The page keeps the last values it wrote: a slot writes only a value that differs from the one
// recorded, and records a value only after its writes got through. Without a device every access
// succeeds and only the form changes. Used on the GUI thread only.
#pragma once

#include <QPointer>
#include <memory>
#include <optional>

#include "MeteringWindow.h"
#include "StableBand.h"
#include "TabPage.h"

class QLineEdit;

namespace Ui {
class AecAgcTabPage;
}

namespace hv {

class SensorRegisters;
class SpotSelection;

class AecAgcTabPage : public TabPage {
    Q_OBJECT

public:
    explicit AecAgcTabPage(QWidget* parent = nullptr);
    ~AecAgcTabPage() override;

    // The single AEC+AGC page (created on the first call); null when its creation failed.
    static AecAgcTabPage* instance();

    // The page's initialisation (the device set-up of device 0 when there are devices), then
    // matrix metering.
    void initialise(QWidget* parent, int deviceCount, const QStringList& deviceNames,
                    const QList<CamContext*>& deviceHandles) override;

public slots:
    // Entry 0 "  AEC+AGC" (automatic), entry 1 "  Manual".
    void OnAecAgcSel(int nAecAgcSel);
    void OnWindowsSel(int nWindowSel);
    void OnManualExposureEntered();
    void OnManualGainEntered();
    void OnMeteringSel(int nMeteringSel);
    void OnTargetEntered();
    void OnInRangeEntered();
    void OnOutRangeEntered();
    void OnWindowLocXEntered();
    void OnWindowLocYEntered();
    void OnGetAverageIntensity();
    // The canvas chose a spot (SpotSelection): the window moves toward it and, in spot metering,
    // the block under it gets the weight. Nothing while the page is hidden.
    void OnAecSpotSignal();

protected:
    void buildForm() override;
    QComboBox* deviceCombo() const override;
    // The device set-up: automatic exposure and gain, a 160 × 160 window at (0, 0), matrix
    // metering; the bands and the average intensity are read back.
    void readDevice(int index, CamContext* handle) override;

    // The canvas reports its presses to the page only while the page is shown.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    SensorRegisters sensor() const;
    // The end registers of a window of size from the start registers read back: end X, then
    // end Y when end X got through.
    static bool writeWindowEnds(SensorRegisters& sensor, int size);
    // Writes a band of half width range around target, low limit first; false when a write
    // failed.
    static bool writeBand(SensorRegisters& sensor, const StableBand& band, int target, int range);
    // An entered in or out range: none (refused) is reported; a new range is written and
    // recorded; the edit shows the recorded range.
    void enterRange(QLineEdit* edit, const StableBand& band, std::optional<int> range,
                    int& recorded);
    // An entered window start on one axis (field name, the recorded start, the window's extent
    // on that axis, the high start register and the failure text): refused entries and failed
    // writes are reported. Returns the start to record; the edit shows it.
    int enterWindowStart(QLineEdit* edit, const char* field, int start, int extent, int startReg,
                         const char* failed);
    // The number in an edit when it lies within 0..high; otherwise none, after the illegal value
    // box for the field with the limits 0..shownHigh.
    std::optional<int> legalEntry(QLineEdit* edit, const char* field, int high, int shownHigh);
    // Writes the manual exposure or gain; a failure is reported.
    bool writeManualExposure(SensorRegisters& sensor, int exposure);
    bool writeManualGain(SensorRegisters& sensor, int gain);
    // Reads the average intensity (0 when the read fails) and shows it.
    void readAverageIntensity(SensorRegisters& sensor);
    // Enables the controls of automatic exposure, disables them in manual mode.
    void enableAutomaticControls(bool automatic);
    // Shows every recorded value in the form.
    void showState();
    void showManualGain();
    static void showNumber(QLineEdit* edit, int value);

    void reportError(const QString& text);
    void reportFailure(const char* text, int code);
    void reportIllegalValue(const QString& text, const char* field, int low, int high);

    std::unique_ptr<Ui::AecAgcTabPage> m_ui;
    QPointer<SpotSelection> m_spots;

    int m_deviceIndex = -1;     // none: no register traffic
    int m_mode = 0;             // mode combo entry: automatic
    int m_windowSizeIndex = 3;  // size combo entry: 128 x 128
    int m_meteringMode = 2;     // matrix
    int m_manualExposure = 4000;
    int m_manualGain = 2;
    int m_target = 90;
    int m_inRange = 20;
    int m_outRange = 40;
    MeteringWindow m_window{136, 136, 128, 128};
};

}  // namespace hv
