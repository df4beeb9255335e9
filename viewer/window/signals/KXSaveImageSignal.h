// The frame of the slot given should be saved (declared; the main window connects none).
#pragma once

#include <QObject>

namespace KX {

class KXSaveImageSignal : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void saveImageSignal(int nDevNoSel);
};

}  // namespace KX
