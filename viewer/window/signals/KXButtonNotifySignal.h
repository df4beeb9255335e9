// Raised by the frame callback when the scope's handle buttons changed: their new nibble, active
// low.
#pragma once

#include <QObject>

namespace KX {

class KXButtonNotifySignal : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void buttonNotifySignal(int xwState);
};

}  // namespace KX
