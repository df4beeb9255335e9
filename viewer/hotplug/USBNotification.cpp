#include "USBNotification.h"

#include <QMetaObject>

#include <kxCxApi.h>

namespace hv {

const QString USBNotification::kModelLabel = QStringLiteral("RT4207-x6B6B");

namespace {

void onDeviceNotify(int event, const char*, const char* model, void* user) {
    static_cast<USBNotification*>(user)->deliver(event, QString::fromLatin1(model));
}

}  // namespace

USBNotification::USBNotification(QWidget* parent) : QWidget(parent) {
    hide();
    // The library tells only the boards of its model table, which exists once it is loaded.
    m_registered = loadCxLib() == 0 && setCxDeviceNotify(&onDeviceNotify, this) == 0;
}

USBNotification::~USBNotification() {
    if (m_registered) {
        // Returns after a notification being delivered has finished.
        setCxDeviceNotify(nullptr, nullptr);
    }
}

void USBNotification::deliver(int event, const QString& model) {
    if (model != kModelLabel) {
        return;
    }
    int code = 0;
    if (event == CxDeviceArrived) {
        code = kArrival;
    } else if (event == CxDeviceRemoved) {
        code = kRemoval;
    } else {
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, code] { emit usbAction(code); }, Qt::QueuedConnection);
}

}  // namespace hv
