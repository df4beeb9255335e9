// The record button and the scope's, the running time and the ten-minute limit on a stamped
// clock, the files they make, and what the operator is told when a recording cannot be made or
// kept.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "../recording/RecordingFiles.h"
#include "FileSizeLimit.h"
#include "MainWindowFixture.h"
#include "QVideoEncoder.h"
#include "RecordingMarker.h"
#include "TestFrames.h"
#include "VideoRecorder.h"

namespace {

// An encoder that counts the frames it is given and encodes none: ten minutes in moments.
class CountingEncoder : public QVideoEncoder {
public:
    explicit CountingEncoder(std::shared_ptr<std::atomic<int>> count) : m_count(std::move(count)) {}
    int encodeImagePts(const QImage&, unsigned) override {
        ++*m_count;
        return 0;
    }

private:
    std::shared_ptr<std::atomic<int>> m_count;
};

class RecordingControlsTest : public hvtest::MainWindowFixture {
protected:
    hv::Nelvora& readyWindow() {
        hv::Nelvora& w = quietWindow();
        w.setClock([this] { return m_now; });
        return w;
    }
    // A frame m_now + ms later.
    void frameAfter(int ms) {
        m_now = m_now.addMSecs(ms);
        deliver(std::vector<uint8_t>(kFrameBytes, static_cast<uint8_t>(m_now.time().msec() / 4)));
    }
    QString recordingName() const {
        return QString::fromStdString(m_folder.path()) +
               "/ImageData/default/Vid 12-07-2026 09.59.30.avi";
    }
    bool folderControlsEnabled() const {
        return button("chooseFolderLocButton")->isEnabled() &&
               window->findChild<QComboBox*>("newFolderComboBox")->isEnabled();
    }

    QDateTime m_now{QDate(2026, 12, 7), QTime(9, 59, 30)};
};

TEST_F(RecordingControlsTest, RecordingRunsFromPressToPressAndPlaysAsLongAsItRan) {
    hv::Nelvora& w = readyWindow();
    button("videoButton")->click();
    ASSERT_TRUE(w.recording());
    EXPECT_EQ(label("recordLabel"), "STOP");
    EXPECT_EQ(label("recordTimeLabel"), "00:00:00");
    EXPECT_FALSE(folderControlsEnabled());
    // Thirty frames a second for four seconds; the file is 25 frames/s and plays four seconds.
    for (int i = 0; i < 120; ++i) {
        frameAfter(i % 3 == 2 ? 34 : 33);
    }
    EXPECT_EQ(label("recordTimeLabel"), "00:00:04");
    // The scope's record button stops it.
    w.OnButtonNotifySignalA(0xB);
    EXPECT_FALSE(w.recording());
    EXPECT_EQ(label("recordLabel"), "RECORD");
    EXPECT_TRUE(folderControlsEnabled());
    ASSERT_TRUE(QFileInfo::exists(recordingName()));
    const qint64 frames = rectest::headerFrameCount(recordingName());
    EXPECT_GE(frames, 99);
    EXPECT_LE(frames, 101);
    EXPECT_TRUE(rectest::hasIndex(recordingName()));
    const QStringList tags = uitest::containerMetadata(recordingName());
    EXPECT_TRUE(tags.filter("title=").value(0).startsWith(
        "title=RT4207-x6B6B 13070001 2026-12-07T09:59:30"))
        << tags.join('|').toStdString();
    EXPECT_TRUE(tags.filter("comment=").value(0).contains("Serial Number: 13070001"));
    EXPECT_TRUE(QDir("ImageData/default")
                    .entryList({".*.recording"}, QDir::Hidden | QDir::Files)
                    .isEmpty());
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
}

TEST_F(RecordingControlsTest, TenWholeMinutesStopTheRecordingBeforeTheWarning) {
    hv::Nelvora& w = readyWindow();
    auto encoded = std::make_shared<std::atomic<int>>(0);
    w.setRecorder(std::make_unique<hv::VideoRecorder>(
        [encoded] { return std::make_unique<CountingEncoder>(encoded); }));
    button("videoButton")->click();
    frameAfter(0);
    frameAfter(60000);
    EXPECT_EQ(label("recordTimeLabel"), "00:01:00");
    frameAfter(539999);
    EXPECT_EQ(label("recordTimeLabel"), "00:09:59");
    EXPECT_TRUE(w.recording());
    EXPECT_TRUE(prompts.messageTexts().isEmpty());
    frameAfter(1);
    EXPECT_FALSE(w.recording());
    EXPECT_FALSE(w.recorder()->recording()) << "the file is closed before the warning";
    EXPECT_EQ(prompts.messageTitles(), QStringList{"Video Recording"});
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{"Video length exceeds limit of 10 minutes. Recording has been stopped."});
    // Every slot of the ten minutes was written, and no more.
    EXPECT_NEAR(encoded->load(), 15000, 1);
}

TEST_F(RecordingControlsTest, ARecordingThatCannotBeMadeOrKeptIsSaidAndLeftOff) {
    hv::Nelvora& w = readyWindow();
    // The data folder is a file now: nothing can be created in it.
    QDir("ImageData/default").removeRecursively();
    QFile blocker("ImageData/default");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    button("videoButton")->click();
    EXPECT_FALSE(w.recording());
    EXPECT_EQ(label("recordLabel"), "RECORD");
    EXPECT_TRUE(folderControlsEnabled());
    ASSERT_EQ(prompts.messageTexts().size(), 1);
    EXPECT_TRUE(prompts.messageTexts()[0].startsWith("WARNING::Failed to create the video file"));
    QFile::remove("ImageData/default");
    QDir().mkpath("ImageData/default");

    // A full disk part way: the recording stops, the operator is told, the frames so far play.
    {
        uitest::FileSizeLimit limit(300 * 1024);
        button("videoButton")->click();
        ASSERT_TRUE(w.recording());
        for (int i = 0; i < 1000 && w.recording(); ++i) {
            const QImage picture = uitest::syntheticFrame(i % 50, 400, 400, QImage::Format_RGB888);
            const uchar* bits = picture.constBits();
            m_now = m_now.addMSecs(40);
            deliver(std::vector<uint8_t>(bits, bits + kFrameBytes));
        }
        EXPECT_TRUE(waitFor([&] { return !w.recording(); }, 10000));
    }
    EXPECT_EQ(label("recordLabel"), "RECORD");
    ASSERT_EQ(prompts.messageTexts().size(), 2);
    EXPECT_TRUE(prompts.messageTexts()[1].startsWith("WARNING::Recording stopped. Writing "));
    const QStringList files = QDir("ImageData/default").entryList({"Vid*.avi"});
    ASSERT_EQ(files.size(), 1);
    EXPECT_GT(uitest::decodedFrameIndexes("ImageData/default/" + files[0]).size(), 5);
}

TEST_F(RecordingControlsTest, UnfinishedRecordingsAreRepairedAtStartAndNamed) {
    QDir().mkpath("ImageData/site");
    const QString file = "ImageData/site/Vid 03-01-2026 10.00.00.avi";
    ASSERT_TRUE(uitest::writeClip(file, 60));
    // Cut where a crash would: no index at the end.
    QFile cut(file);
    ASSERT_TRUE(cut.resize(cut.size() * 2 / 3));
    ASSERT_TRUE(rectest::leaveStaleMarker(file));
    ASSERT_FALSE(rectest::hasIndex(file));
    bringUp("RT4207");
    ASSERT_EQ(prompts.messageTexts().size(), 1);
    EXPECT_TRUE(prompts.messageTexts()[0].startsWith("INFO::These recordings were not finished"));
    EXPECT_TRUE(prompts.messageTexts()[0].contains("Vid 03-01-2026 10.00.00.avi"));
    EXPECT_TRUE(rectest::hasIndex(file));
    EXPECT_GT(rectest::headerFrameCount(file), 20);
    EXPECT_TRUE(
        QDir("ImageData/site").entryList({".*.recording"}, QDir::Hidden | QDir::Files).isEmpty());
}

}  // namespace
