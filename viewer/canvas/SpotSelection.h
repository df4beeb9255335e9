// The exposure page's spot selection as the live canvas sees it: while it is active, a left click
// on the canvas chooses the exposure metering spot, which is kept here and announced through the
// KX::KXAECSpotSignal object's aecSpotSignal(). One instance for the program.
//
// Used on the GUI thread only.
#pragma once

#include <QObject>
#include <QPoint>

#include "KXAECSpotSignal.h"

namespace hv {

class SpotSelection : public QObject {
    Q_OBJECT

public:
    explicit SpotSelection(QObject* parent = nullptr);

    // The single instance (created on the first call); null when its creation failed.
    static SpotSelection* instance();

    void setActive(bool on) { m_active = on; }
    bool active() const { return m_active; }

    // The last spot chosen, in canvas pixels; (0, 0) before the first.
    QPoint spot() const { return m_spot; }
    // Keeps position as the spot and emits aecSpotSignal().
    void choose(QPoint position);

    // The object whose aecSpotSignal() announces a chosen spot.
    KX::KXAECSpotSignal* spotSignal() { return &m_signal; }

private:
    bool m_active = false;
    QPoint m_spot;
    KX::KXAECSpotSignal m_signal;
};

}  // namespace hv
