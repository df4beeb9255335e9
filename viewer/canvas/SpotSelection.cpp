#include "SpotSelection.h"

#include "SingleInstances.h"

namespace hv {

SpotSelection::SpotSelection(QObject* parent) : QObject(parent) {}

SpotSelection* SpotSelection::instance() {
    return SingleInstances::get<SpotSelection>();
}

void SpotSelection::choose(QPoint position) {
    m_spot = position;
    emit m_signal.aecSpotSignal();
}

}  // namespace hv
