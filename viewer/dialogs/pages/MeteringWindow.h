// The exposure metering window on the sensor's 400 × 400 field: where it starts, how large it is,
// which window sizes fit where, what its end registers hold, and how a press on the live canvas
// moves it and picks one of its 16 blocks (a 4 × 4 grid, block = column + 4 × row).
#pragma once

#include <QPoint>

namespace hv {

class MeteringWindow {
public:
    // The field, in pixels a side; the end registers hold at most its last pixel.
    static constexpr int kField = 400;
    static constexpr int kLastPixel = kField - 1;
    // The size combo: entry n is a window of 32 × (n + 1) pixels a side, the last one the whole
    // field.
    static constexpr int kSizeEntries = 13;
    static constexpr int kSizeStep = 32;

    MeteringWindow(int x, int y, int width, int height)
        : m_x(x), m_y(y), m_width(width), m_height(height) {}

    int x() const { return m_x; }
    int y() const { return m_y; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    void setX(int x) { m_x = x; }
    void setY(int y) { m_y = y; }
    void resize(int size) { m_width = m_height = size; }

    // The size of a size combo entry; 0 for an index outside the combo.
    static int sizeOfEntry(int index);
    // A square window of size fits at (x, y) when it ends before the field's last pixel on both
    // axes, or when it is the whole field.
    static bool fits(int x, int y, int size);
    // The end register's value for a window from start: start + size, at most the last pixel.
    static int end(int start, int size);

    // The field pixel under a press on the canvas, which shows the field 640 pixels a side.
    static QPoint fieldPoint(QPoint canvasPoint);
    // Moves the window toward a field point outside it: left or up by an eighth of its size, but
    // not past the field's edge; right by an eighth of its width (to the field's right edge when
    // that leaves the field); down by its height and an eighth (an eighth short of the field's
    // bottom edge when that leaves the field).
    void moveToward(QPoint fieldPoint);
    // The block under a field point; -1 when the point lies outside the window.
    int blockAt(QPoint fieldPoint) const;

private:
    int m_x;
    int m_y;
    int m_width;
    int m_height;
};

}  // namespace hv
