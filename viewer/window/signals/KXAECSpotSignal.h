// A left click on the live canvas chose the exposure metering spot while spot selection was on.
#pragma once

#include <QObject>

namespace KX {

class KXAECSpotSignal : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void aecSpotSignal();
};

}  // namespace KX
