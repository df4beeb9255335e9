// Tells the main window of camera boards plugged in and pulled out: the camera library's arrival
// and removal notifications of the first board model become usbAction(1) and usbAction(2) on the
// GUI thread. Boards of other models are not told. A hidden widget, created by the main window
// as its child; it listens from construction to destruction.
#pragma once

#include <QString>
#include <QWidget>

namespace hv {

class USBNotification : public QWidget {
    Q_OBJECT

public:
    static constexpr int kArrival = 1;
    static constexpr int kRemoval = 2;
    // The label of the model whose boards count.
    static const QString kModelLabel;

    explicit USBNotification(QWidget* parent = nullptr);
    ~USBNotification() override;
    USBNotification(const USBNotification&) = delete;
    USBNotification& operator=(const USBNotification&) = delete;

    // True while the library delivers notifications here.
    bool registered() const { return m_registered; }
    // Hands one notification of the library over to the GUI thread (any thread may call it).
    void deliver(int event, const QString& model);

signals:
    void usbAction(int nNotification);

private:
    bool m_registered = false;
};

}  // namespace hv
