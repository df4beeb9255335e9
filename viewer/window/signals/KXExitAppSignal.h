// Raised after a firmware load that restarts the board's controller: the program ends.
#pragma once

#include <QObject>

namespace KX {

class KXExitAppSignal : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void exitAppSignal();
};

}  // namespace KX
