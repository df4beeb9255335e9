// Mouse events for the canvas tests, built by hand so that any set of held buttons can be sent
// (QTest's helpers keep their own record of the held buttons across tests).
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>
#include <cstdlib>

namespace hvtest {

inline void sendMouse(QWidget* widget, QEvent::Type type, QPoint position, Qt::MouseButton button,
                      Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(position), QPointF(widget->mapToGlobal(position)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void press(QWidget* widget, QPoint position, Qt::MouseButton button = Qt::LeftButton) {
    sendMouse(widget, QEvent::MouseButtonPress, position, button, button);
}

inline void release(QWidget* widget, QPoint position, Qt::MouseButton button = Qt::LeftButton) {
    sendMouse(widget, QEvent::MouseButtonRelease, position, button, Qt::NoButton);
}

inline void click(QWidget* widget, QPoint position, Qt::MouseButton button = Qt::LeftButton) {
    press(widget, position, button);
    release(widget, position, button);
}

inline void moveHolding(QWidget* widget, QPoint position, Qt::MouseButtons held) {
    sendMouse(widget, QEvent::MouseMove, position, Qt::NoButton, held);
}

// A 400 x 400 frame of 20 x 20 blocks, each of its own colour.
inline QColor blockColour(int x, int y) {
    const int column = x / 20;
    const int row = y / 20;
    return QColor(column * 12, row * 12, 255 - (column + row) * 6);
}

inline QImage blockFrame() {
    QImage frame(400, 400, QImage::Format_ARGB32);
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 400; ++x) {
            frame.setPixelColor(x, y, blockColour(x, y));
        }
    }
    return frame;
}

// Colours equal to within the rounding of a smooth enlargement.
inline ::testing::AssertionResult closeTo(QColor actual, QColor expected) {
    if (std::abs(actual.red() - expected.red()) <= 2 &&
        std::abs(actual.green() - expected.green()) <= 2 &&
        std::abs(actual.blue() - expected.blue()) <= 2) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "got " << actual.name().toStdString() << ", expected "
                                         << expected.name().toStdString();
}

}  // namespace hvtest
