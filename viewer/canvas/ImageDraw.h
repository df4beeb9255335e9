// The live canvas: a framed label that paints one source rectangle of the picture it holds (the
// scaled frame, or the colour-bar picture before the first frame), opens the magnifier on a left
// click while live, reports the click to the exposure page while its spot selection is on, and,
// as a hidden diagnostic, writes the colour of the frame pixel under the pointer into the
// top-level window's title while all three mouse buttons are held.
//
// The readout's title names the library's text, which this viewer never has: it shows "(null)",
// as printf prints a null text here. The version text, when none was given, shows as "?.?.???".
//
// Used on the GUI thread only.
#pragma once

#include <QImage>
#include <QLabel>
#include <QString>
#include <chrono>
#include <cstdint>
#include <optional>

namespace hv {

class ImageZoom;

class ImageDraw : public QLabel {
    Q_OBJECT

public:
    explicit ImageDraw(QWidget* parent = nullptr);

    // Holds image and paints its rectangle (sx, sy, sw, sh) at (x, y); the canvas becomes
    // sw x sh at (0, 0) of its parent and shows itself. zoomSource (borrowed, may be null) is the
    // unscaled frame the magnifier reads.
    void setImage(int x, int y, const QImage& image, int sx, int sy, int sw, int sh,
                  const QImage* zoomSource);

    // The frame the readout reads: width x height pixels of R, G, B bytes, row by row
    // (borrowed; it must stay valid until replaced). Colour modes 1, 2, 5 and 6 are 8-bit RGB.
    void setPixelSource(const uint8_t* rgb, int width, int height, int colourMode);
    // The program's version text (borrowed).
    void setVersionText(const char* text);

    void setLive(bool on);
    bool isLive() const { return m_live; }

    ImageZoom* zoomWindow() const { return m_zoom; }
    // The picture held and the rectangle of it that is painted.
    const QImage& image() const { return m_image; }
    QRect sourceRect() const { return QRect(m_sx, m_sy, m_sw, m_sh); }
    // The picture last set is a frame the frame callback handed over at offered: the latency
    // probe, when one runs, learns when its paint ends.
    void setFrameTime(std::chrono::steady_clock::time_point offered) { m_frameTime = offered; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QString readoutTitle(QPointF position) const;

    const uint8_t* m_pixels = nullptr;
    QImage m_image;
    int m_x = -1;
    int m_y = -1;
    int m_sx = 0;
    int m_sy = 0;
    int m_sw;
    int m_sh;
    int m_frameWidth;
    int m_frameHeight;
    int m_colourMode = 0;
    const char* m_versionText = nullptr;
    bool m_live = false;
    ImageZoom* m_zoom;
    const QImage* m_zoomSource = nullptr;
    std::optional<std::chrono::steady_clock::time_point> m_frameTime;
};

}  // namespace hv
