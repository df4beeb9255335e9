// Playback of a recording should start (declared; the main window connects none).
#pragma once

#include <QObject>

namespace KX {

class KXPlayVideoSignal : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void playVideoSignal();
};

}  // namespace KX
