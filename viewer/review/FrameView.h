// The picture area of the video player: paints the current frame as large as fits, centred and
// in its own proportions, on black.
//
// Used on the GUI thread only.
#pragma once

#include <QImage>
#include <QWidget>

namespace hv {

class FrameView : public QWidget {
    Q_OBJECT

public:
    explicit FrameView(QWidget* parent = nullptr);

    void setFrame(const QImage& frame);
    void clear();
    const QImage& frame() const { return m_frame; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_frame;
};

}  // namespace hv
