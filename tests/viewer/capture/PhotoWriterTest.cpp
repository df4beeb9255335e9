// Photos: PNG files with their capture context in text chunks, never written over another file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QImage>

#include "CaptureContext.h"
#include "DataFolder.h"
#include "PhotoWriter.h"
#include "TempDir.h"

namespace {

hv::CaptureContext context() {
    hv::CaptureContext c;
    c.captureTime = QDateTime(QDate(2026, 3, 4), QTime(9, 5, 30), Qt::OffsetFromUTC, 3600);
    c.modelLabel = QStringLiteral("RT4207-x6B6B");
    c.serialNumber = QStringLiteral("13070001");
    c.fpgaVersion = QStringLiteral("1.20");
    c.mcuVersion = QStringLiteral("1.02");
    c.illumination = 70;
    c.reference = true;
    return c;
}

QImage picture(QRgb colour) {
    QImage image(400, 400, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

TEST(PhotoWriterTest, WritesTheContextAsTextChunksAndNeverReplacesAFile) {
    TempDir folder;
    const QString wanted = QStringLiteral("Img 03-04-2026 09.05 [0].png");
    ASSERT_EQ(hv::PhotoWriter::write(picture(qRgb(200, 10, 10)), wanted, context()), wanted);
    const QString second = hv::PhotoWriter::write(picture(qRgb(10, 200, 10)), wanted, context());
    const QString third = hv::PhotoWriter::write(picture(qRgb(10, 10, 200)), wanted, context());
    EXPECT_EQ(second, QStringLiteral("Img 03-04-2026 09.05 [0] (2).png"));
    EXPECT_EQ(third, QStringLiteral("Img 03-04-2026 09.05 [0] (3).png"));

    const QImage reader(wanted);
    EXPECT_EQ(reader.text(QStringLiteral("Creation Time")),
              QStringLiteral("2026-03-04T09:05:30+01:00"));
    EXPECT_EQ(reader.text(QStringLiteral("Source")), QStringLiteral("RT4207-x6B6B"));
    EXPECT_EQ(reader.text(QStringLiteral("Serial Number")), QStringLiteral("13070001"));
    EXPECT_EQ(reader.text(QStringLiteral("FPGA Version")), QStringLiteral("1.20"));
    EXPECT_EQ(reader.text(QStringLiteral("MCU Version")), QStringLiteral("1.02"));
    EXPECT_EQ(reader.text(QStringLiteral("Illumination")), QStringLiteral("70%"));
    EXPECT_EQ(reader.text(QStringLiteral("Reference")), QStringLiteral("yes"));
    EXPECT_EQ(reader.text(QStringLiteral("Software")), QStringLiteral("Harnview 1.02"));
    // The first photo kept its own pixels.
    const QImage& first = reader;
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.size(), QSize(400, 400));
    EXPECT_EQ(first.pixel(200, 200), qRgb(200, 10, 10));
    EXPECT_EQ(QImage(second).pixel(0, 0), qRgb(10, 200, 10));
}

TEST(PhotoWriterTest, AFolderThatRefusesTheFileGivesTheReasonAndLeavesNothing) {
    TempDir folder;
    QDir().mkdir(QStringLiteral("locked"));
    chmod("locked", 0500);
    QString error;
    const QString written = hv::PhotoWriter::write(
        picture(qRgb(1, 2, 3)), QStringLiteral("locked/Img.png"), context(), &error);
    chmod("locked", 0700);
    if (geteuid() != 0) {
        EXPECT_TRUE(written.isEmpty());
        EXPECT_FALSE(error.isEmpty());
    }
    error.clear();
    EXPECT_TRUE(hv::PhotoWriter::write(picture(qRgb(1, 2, 3)), QStringLiteral("missing/Img.png"),
                                       context(), &error)
                    .isEmpty());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(QStringLiteral("missing")));
}

TEST(DataFolderTest, NamesPhotosReferencesAndRecordingsInTheirFolders) {
    TempDir folder;
    const QDateTime at(QDate(2026, 12, 7), QTime(8, 4, 9));
    const hv::DataFolder relative(QStringLiteral("ImageData/default"));
    const hv::DataFolder absolute(hv::DataFolder::defaultAbsolute());
    const hv::DataFolder other(QStringLiteral("/data/site 4"));
    EXPECT_EQ(hv::DataFolder::defaultAbsolute(),
              QString::fromStdString(folder.path()) + QStringLiteral("/ImageData/default"));
    EXPECT_TRUE(relative.isDefault());
    EXPECT_TRUE(absolute.isDefault());
    EXPECT_FALSE(other.isDefault());
    EXPECT_EQ(relative.photoName(at, 0),
              QStringLiteral("ImageData/default/Img 12-07-2026 08.04 [0].png"));
    EXPECT_EQ(other.photoName(at, 12),
              QStringLiteral("/data/site 4/Img 12-07-2026 08.04 [12].png"));
    // The default folder's references go beside it, any other folder's below it.
    EXPECT_EQ(absolute.referenceName(at, 3),
              QStringLiteral("ImageData/Reference/Ref 12-07-2026 08.04 [3].png"));
    EXPECT_EQ(other.referenceName(at, 3),
              QStringLiteral("/data/site 4/Reference/Ref 12-07-2026 08.04 [3].png"));
    EXPECT_EQ(other.videoName(at), QStringLiteral("/data/site 4/Vid 12-07-2026 08.04.09.avi"));
    // 20:00 is "20", not "08" of a twelve-hour clock.
    EXPECT_EQ(other.videoName(QDateTime(QDate(2026, 1, 2), QTime(20, 0, 0))),
              QStringLiteral("/data/site 4/Vid 01-02-2026 20.00.00.avi"));
}

}  // namespace
