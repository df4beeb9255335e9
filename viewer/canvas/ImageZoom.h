// The magnifier of the live canvas: a child window that shows a region of the displayed picture,
// taken from the unscaled frame, enlarged to the window's size. It lies wholly inside the
// canvas's displayed area; dragging it (more than 20 pixels) moves it, a click closes it.
#pragma once

#include <QImage>
#include <QLabel>
#include <QPoint>
#include <QSize>

namespace hv {

class ImageZoom : public QLabel {
    Q_OBJECT

public:
    explicit ImageZoom(QWidget* parent = nullptr);

    // Opens on a picture: source is the unscaled frame (borrowed; null paints nothing), the
    // area is the displayed size (the canvas's source rectangle width and height), the region
    // the displayed pixels shown, the window the widget's size, the centre the point shown in
    // the middle (canvas pixels), the offsets the displayed rectangle's position in the
    // enlarged picture. False, changing nothing, when any value is negative.
    bool setUp(const QImage* source, int areaWidth, int areaHeight, int regionWidth,
               int regionHeight, int windowWidth, int windowHeight, int centreX, int centreY,
               int offsetX, int offsetY);
    // Region and window sizes, each clamped to the area; the widget takes the window size.
    // False when any is negative.
    bool setSize(int regionWidth, int regionHeight, int windowWidth, int windowHeight);
    // Centres the window on (x, y), clamped so that the window lies inside the area, and moves
    // the widget there. False when x or y is negative or the window is wider or taller than
    // the area.
    bool setCentre(int x, int y);

    QPoint centre() const { return {m_centreX, m_centreY}; }
    QSize areaSize() const { return {m_areaWidth, m_areaHeight}; }
    QSize regionSize() const { return {m_regionWidth, m_regionHeight}; }
    QSize windowSize() const { return {m_windowWidth, m_windowHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const QImage* m_source = nullptr;
    int m_areaWidth = 0;
    int m_areaHeight = 0;
    int m_regionWidth = 0;
    int m_regionHeight = 0;
    int m_windowWidth = 0;
    int m_windowHeight = 0;
    int m_centreX = 0;
    int m_centreY = 0;
    int m_offsetX = 0;
    int m_offsetY = 0;
    bool m_dragging = false;
    QPoint m_pressPosition;
    bool m_moved = false;
};

}  // namespace hv
