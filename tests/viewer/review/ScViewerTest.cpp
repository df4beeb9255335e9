// The review viewer: what it makes of a file by its name's ending, the capture context beside
// the picture, files it cannot read, and closing it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>

#include "PhotoWriter.h"
#include "ReviewFiles.h"
#include "ScriptedPrompts.h"
#include "TestFrames.h"
#include "VideoPlayer.h"
#include "scViewer.h"

namespace {

using State = hv::VideoPlayer::State;

class ScViewerTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(uitest::writeClip(file("clip.avi"), 10)); }

    QString file(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    // A fresh viewer over parent, showing name.
    hv::scViewer& view(const QString& name) {
        auto* viewer = new hv::scViewer(&parent);
        viewer->show(name);
        return *viewer;
    }
    static QLabel* label(hv::scViewer& viewer) { return viewer.findChild<QLabel*>("label"); }
    static hv::VideoPlayer* player(hv::scViewer& viewer) {
        return viewer.findChild<hv::VideoPlayer*>("videoPlayer");
    }
    // The context shown beside the picture; empty when none is shown.
    static QString context(hv::scViewer& viewer) {
        auto* text = viewer.findChild<QPlainTextEdit*>("contextText");
        EXPECT_TRUE(text->isReadOnly());
        return text->isVisibleTo(&viewer) ? text->toPlainText() : QString();
    }
    // Whether above lies over below in the viewer.
    static bool over(hv::scViewer& viewer, QWidget* above, QWidget* below) {
        return viewer.children().indexOf(above) > viewer.children().indexOf(below);
    }
    QTemporaryDir folder;
    hvtest::ScriptedPrompts prompts;
    QWidget parent;
};

TEST_F(ScViewerTest, ShowsPicturesAndVideosByTheEndingOfTheirNames) {
    hv::scViewer fresh;
    EXPECT_EQ(fresh.windowTitle(), "Playback");
    EXPECT_EQ(fresh.objectName(), "scViewerDlg");
    EXPECT_EQ(label(fresh)->text(), "TextLabel");
    EXPECT_TRUE(fresh.testAttribute(Qt::WA_DeleteOnClose));

    ASSERT_TRUE(reviewtest::writePicture(file("photo.JPG"), "JPG"));
    ASSERT_TRUE(reviewtest::writePicture(file("photo.jpeg"), "JPG"));
    ASSERT_TRUE(reviewtest::writePicture(file("photo.png"), "PNG"));
    ASSERT_TRUE(reviewtest::writePicture(file("photo.jpe"), "JPG"));
    ASSERT_TRUE(uitest::writeClip(file("clip.AVI"), 10));
    parent.move(130, 90);

    for (const char* name : {"photo.JPG", "photo.jpeg", "photo.png"}) {
        hv::scViewer& viewer = view(file(name));
        EXPECT_EQ(viewer.pos(), QPoint(130, 90)) << name;
        EXPECT_FALSE(viewer.isVideo()) << name;
        EXPECT_EQ(label(viewer)->pixmap().size(), QSize(64, 48)) << name;
        EXPECT_TRUE(label(viewer)->text().isEmpty()) << name;
        EXPECT_EQ(player(viewer)->state(), State::Idle) << name;
        EXPECT_TRUE(over(viewer, label(viewer), player(viewer))) << name;
    }
    for (const char* name : {"clip.AVI", "clip.avi"}) {
        hv::scViewer& viewer = view(file(name));
        EXPECT_EQ(viewer.pos(), QPoint(130, 90)) << name;
        EXPECT_TRUE(viewer.isVideo()) << name;
        EXPECT_TRUE(label(viewer)->pixmap().isNull()) << name;
        EXPECT_TRUE(label(viewer)->text().isEmpty()) << name;
        EXPECT_EQ(player(viewer)->state(), State::Playing) << name;
        EXPECT_TRUE(over(viewer, player(viewer), label(viewer))) << name;
    }
    // ".jpe" is no ending the viewer knows, though the file is a picture.
    hv::scViewer& unknown = view(file("photo.jpe"));
    EXPECT_FALSE(unknown.isVideo());
    EXPECT_TRUE(label(unknown)->pixmap().isNull());
    EXPECT_TRUE(label(unknown)->text().isEmpty());
    EXPECT_EQ(player(unknown)->state(), State::Idle);
    EXPECT_EQ(context(unknown), "");
}

TEST_F(ScViewerTest, ShowsTheCaptureContextThatPhotosAndRecordingsCarry) {
    const hv::CaptureContext taken = reviewtest::sampleContext();
    ASSERT_EQ(hv::PhotoWriter::write(reviewtest::smallPicture(), file("tagged.png"), taken),
              file("tagged.png"));
    ASSERT_TRUE(reviewtest::writeTaggedCopy(file("clip.avi"), file("tagged.avi"),
                                            taken.videoTitle(), taken.videoComment()));
    ASSERT_TRUE(reviewtest::writePicture(file("plain.png"), "PNG"));
    ASSERT_TRUE(reviewtest::writePicture(file("plain.jpg"), "JPG"));

    const QStringList photoLines = context(view(file("tagged.png"))).split('\n');
    ASSERT_EQ(photoLines.size(), 8);
    EXPECT_EQ(photoLines[0], "Creation Time: 2024-03-05T14:07:09+01:00");
    EXPECT_TRUE(photoLines[1].startsWith("Software: Harnview ")) << photoLines[1].toStdString();
    EXPECT_EQ(photoLines.mid(2),
              QStringList({"Source: RT4207", "Serial Number: 00C0FFEE", "FPGA Version: 1.30",
                           "MCU Version: 2.05", "Illumination: 60%", "Reference: yes"}));

    hv::scViewer& recording = view(file("tagged.avi"));
    EXPECT_EQ(player(recording)->state(), State::Playing);
    EXPECT_EQ(context(recording),
              "Title: RT4207 00C0FFEE 2024-03-05T14:07:09+01:00\nComment: " + taken.videoComment());

    for (const char* name : {"plain.png", "plain.jpg", "clip.avi"}) {
        EXPECT_EQ(context(view(file(name))), "") << name;
    }
}

TEST_F(ScViewerTest, UnreadableFilesShowNothingAndClosingStopsTheVideo) {
    ASSERT_TRUE(reviewtest::writeJunk(file("junk.png")));
    ASSERT_TRUE(reviewtest::writeJunk(file("junk.avi")));
    for (const char* name : {"junk.png", "junk.avi", "missing.jpg", "missing.avi"}) {
        hv::scViewer& viewer = view(file(name));
        EXPECT_TRUE(label(viewer)->pixmap().isNull()) << name;
        EXPECT_TRUE(label(viewer)->text().isEmpty()) << name;
        EXPECT_EQ(player(viewer)->state(), State::Idle) << name;
        EXPECT_EQ(context(viewer), "") << name;
    }
    EXPECT_TRUE(prompts.records().empty());

    // Closed, or put away with Esc: the video stops at once and the viewer goes.
    for (const bool escape : {false, true}) {
        QPointer<hv::scViewer> viewer = &view(file("clip.avi"));
        viewer->QDialog::show();
        QPointer<hv::VideoPlayer> playing = player(*viewer);
        ASSERT_EQ(playing->state(), State::Playing);
        if (escape) {
            viewer->reject();
        } else {
            viewer->close();
        }
        ASSERT_FALSE(playing.isNull());
        EXPECT_EQ(playing->state(), State::Idle) << escape;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(viewer.isNull()) << escape;
    }
}

}  // namespace
