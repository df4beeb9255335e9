// Raised by the frame callback when a frame is in the display buffer of the camera slot given.
#pragma once

#include <QObject>

namespace KX {

class KXDisplaySignal : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void displaySignal(int nDevNoSel);
};

}  // namespace KX
