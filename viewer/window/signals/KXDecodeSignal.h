// A decoded frame of the slot given is ready (declared for the playback path; the main window
// connects none).
#pragma once

#include <QObject>

namespace KX {

class KXDecodeSignal : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void decodeSignal(int nDevNoSel);
};

}  // namespace KX
