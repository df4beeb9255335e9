#include "scViewer.h"

#include <QHideEvent>
#include <QImage>
#include <QPixmap>

#include "MediaContext.h"
#include "MediaKind.h"
#include "VideoPlayer.h"
#include "ui_scViewer.h"

namespace hv {

scViewer::scViewer(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::scViewerForm>()) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    m_ui->contextText->hide();
}

scViewer::~scViewer() = default;

void scViewer::show(const QString& fileName) {
    if (parentWidget()) {
        move(parentWidget()->pos());
    }
    const MediaKind::Kind kind = MediaKind::of(fileName);
    m_isVideo = kind == MediaKind::Video;
    m_ui->label->clear();
    switch (kind) {
        case MediaKind::Picture:
            showPicture(fileName);
            break;
        case MediaKind::Video:
            showVideo(fileName);
            break;
        case MediaKind::Unknown:
            showContext(QString());
            break;
    }
}

void scViewer::hideEvent(QHideEvent* event) {
    // A minimised viewer keeps its place in the video; one put away (closed, Esc) stops it.
    if (!event->spontaneous()) {
        m_ui->videoPlayer->stop();
    }
    QDialog::hideEvent(event);
}

void scViewer::showPicture(const QString& fileName) {
    m_ui->videoPlayer->stop();
    m_ui->label->raise();
    // Read once for the pixels and the text chunks that come with them.
    const QImage picture(fileName);
    m_ui->label->setPixmap(QPixmap::fromImage(picture));
    showContext(MediaContext::text(MediaContext::ofPicture(picture)));
}

void scViewer::showVideo(const QString& fileName) {
    m_ui->videoPlayer->raise();
    m_ui->videoPlayer->play(fileName);
    showContext(MediaContext::text(MediaContext::ofVideo(fileName)));
}

void scViewer::showContext(const QString& text) {
    m_ui->contextText->setPlainText(text);
    m_ui->contextText->setVisible(!text.isEmpty());
}

}  // namespace hv
