// Raised by the frame callback once for every frame it passed on; the one-second clock counts them.
#pragma once

#include <QObject>

namespace KX {

class KXFrameCountsSignal : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void frameCountsSignal();
};

}  // namespace KX
