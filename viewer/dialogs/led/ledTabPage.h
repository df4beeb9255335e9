// The LED page of the setup dialog and the logic behind the board's illumination: it finds the
// LED controller (a PCA9633 at 0x62 or a PCA9530 at 0x60) and turns an LED setting (controller,
// LED, mode, PWM frequency, duty cycle) into register writes. Start-up asks it whether a
// controller answered and sets the illumination through it.
#pragma once

#include <memory>

#include "TabPage.h"

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
    // The operator's illumination level 0..10 on the controller that answered.
    void setIllumination(int deviceIndex, int level);
};

}  // namespace hv
