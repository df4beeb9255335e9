// The review viewer ("Playback"): shows one saved file, a picture in a label or a video in the
// player, with the capture context the file carries beside it. Each shown file gets a viewer of
// its own, destroyed when it is closed; hiding or closing it stops the video.
//
// Used on the GUI thread only.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class scViewerForm;
}

namespace hv {

class scViewer : public QDialog {
    Q_OBJECT

public:
    explicit scViewer(QWidget* parent = nullptr);
    ~scViewer() override;

    using QDialog::show;
    // Moves to the parent's position and shows fileName by the kind its name ends in: a picture
    // (".jpg", ".jpeg", ".png") in the label, a video (".avi") in the player; any other file
    // leaves the viewer empty. A file that cannot be read shows an empty label or an idle player.
    void show(const QString& fileName);

    bool isVideo() const { return m_isVideo; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void showPicture(const QString& fileName);
    void showVideo(const QString& fileName);
    void showContext(const QString& text);

    std::unique_ptr<Ui::scViewerForm> m_ui;
    bool m_isVideo = false;
};

}  // namespace hv
