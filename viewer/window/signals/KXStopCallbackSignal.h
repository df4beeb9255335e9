// Raised at release to stop the stream of the camera slot given, on the GUI thread.
#pragma once

#include <QObject>

namespace KX {

class KXStopCallbackSignal : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void stopCallbackSignal(int nDevNoSel);
};

}  // namespace KX
