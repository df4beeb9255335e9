// Playback should move to its next frame (declared; the main window connects none).
#pragma once

#include <QObject>

namespace KX {

class KXNextFrameSignal : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void nextFrameSignal();
};

}  // namespace KX
