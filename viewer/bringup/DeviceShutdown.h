// Closes the open boards, removes them from the library and unloads it. Each failure is reported
// through the prompt service and marked in the result.
#pragma once

#include <QList>
#include <QStringList>

#include <kxCamContextHead.h>

class QWidget;

namespace hv {

class DeviceShutdown {
public:
    static constexpr int kRemoveFailed = 0x28;
    static constexpr int kUnloadFailed = 0x80;

    // 0 when every step succeeded; else bit i for board i that did not close, kRemoveFailed and
    // kUnloadFailed. The lists are emptied.
    static int run(QWidget* parent, QList<CamContext*>& handles, QStringList& names);
};

}  // namespace hv
