// The viewer's pictures as the programs see them: every ":/Resource/" name loads at its size, the
// compiled-in files are the generator's bytes, the colour bars are exact (colours at the bars'
// centres, edges at the computed columns), the SMPTE bars decode through Qt's own GIF reader to
// the drawing, and the logos the viewer loads from its working folder lie next to the program.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ColourBars.h"
#include "ResourceSet.h"
#include "SmpteBars.h"

namespace {

using resourcegen::ResourceSet;

struct Picture {
    QString name;
    QSize size;
};

const std::vector<Picture>& compiledIn() {
    static const std::vector<Picture> kPictures = {
        {":/Resource/400x400colorbar.png", {400, 400}},
        {":/Resource/colour-bars-smpte-75-640x640.gif", {640, 640}},
        {":/Resource/NV Logo - Main UI.png", {260, 90}},
        {":/Resource/About-Button2.png", {64, 64}},
        {":/Resource/recordbutton.png", {64, 64}},
        {":/Resource/Record-Normal-icon.png", {64, 64}},
        {":/Resource/HANDLE-UP.png", {64, 64}},
        {":/Resource/HANDLE-DOWN.png", {64, 64}},
        {":/Resource/Review_Images-Button.png", {64, 64}},
        {":/Resource/ico113_24x24.png", {24, 24}},
        {":/Resource/ico1025_24x24.png", {24, 24}},
        {":/Resource/Photo-Button.png", {64, 64}},
        {":/Resource/spot245.jpg", {245, 245}},
    };
    return kPictures;
}

QImage rgb(const QString& name) {
    return QImage(name).convertToFormat(QImage::Format_RGB32);
}

QString workingPicture(const QString& name) {
    return QDir(HARNVIEW_WORKING_PICTURE_DIR).filePath(name);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ResourceFiles, EveryNameLoadsAtItsSize) {
    for (const Picture& picture : compiledIn()) {
        const QImage image(picture.name);
        EXPECT_FALSE(image.isNull()) << picture.name.toStdString();
        EXPECT_EQ(image.size(), picture.size) << picture.name.toStdString();
        EXPECT_EQ(QPixmap(picture.name).size(), picture.size) << picture.name.toStdString();
    }
}

TEST(ResourceFiles, CompiledInBytesAreTheGeneratorsBytes) {
    int compared = 0;
    for (const ResourceSet::File& file : ResourceSet::files()) {
        const QString name = ":/Resource/" + file.name;
        if (file.folder != ResourceSet::Folder::Resources || file.name == "harnview.png") {
            EXPECT_FALSE(QFile::exists(name)) << name.toStdString();
            continue;
        }
        EXPECT_TRUE(fileBytes(name) == file.bytes) << name.toStdString();
        ++compared;
    }
    EXPECT_EQ(compared, static_cast<int>(compiledIn().size()));
}

TEST(ResourceFiles, GeneratorGivesTheSameBytesEveryRun) {
    const std::vector<ResourceSet::File> first = ResourceSet::files();
    const std::vector<ResourceSet::File> second = ResourceSet::files();
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_TRUE(first[i].bytes == second[i].bytes) << first[i].name.toStdString();
    }
}

TEST(ResourceFiles, WorkingFolderLogosLieNextToTheProgram) {
    EXPECT_EQ(QImage(workingPicture("Nelvoralogo.png")).size(), QSize(260, 90));
    EXPECT_EQ(QImage(workingPicture("NV Logo - Help UI.png")).size(), QSize(390, 135));
    for (const ResourceSet::File& file : ResourceSet::files()) {
        if (file.folder == ResourceSet::Folder::Working) {
            EXPECT_TRUE(fileBytes(workingPicture(file.name)) == file.bytes)
                << file.name.toStdString();
        }
    }
}

// 100% bars, 50 columns each.
constexpr QRgb kFullBars[] = {0xFFFFFFFF, 0xFFFFFF00, 0xFF00FFFF, 0xFF00FF00,
                              0xFFFF00FF, 0xFFFF0000, 0xFF0000FF, 0xFF000000};

TEST(ResourceColourBars, EachBarHasItsFullColourAtItsCentre) {
    const QImage bars = rgb(":/Resource/400x400colorbar.png");
    for (int bar = 0; bar < 8; ++bar) {
        for (const int y : {0, 200, 399}) {
            EXPECT_EQ(bars.pixel(bar * 50 + 25, y), kFullBars[bar]) << "bar " << bar << " y " << y;
        }
    }
}

TEST(ResourceColourBars, BarsChangeEveryFiftyColumnsDownTheWholeHeight) {
    const QImage bars = rgb(":/Resource/400x400colorbar.png");
    for (int bar = 1; bar < 8; ++bar) {
        EXPECT_EQ(resourcegen::ColourBars::barLeft(bar), bar * 50);
        EXPECT_EQ(bars.pixel(bar * 50 - 1, 0), kFullBars[bar - 1]) << "bar " << bar;
        EXPECT_EQ(bars.pixel(bar * 50, 0), kFullBars[bar]) << "bar " << bar;
    }
    for (int y = 1; y < bars.height(); ++y) {
        ASSERT_EQ(0, memcmp(bars.constScanLine(0), bars.constScanLine(y), bars.bytesPerLine()))
            << "row " << y;
    }
}

// The SMPTE bars on 640 x 640, worked out by hand from the layout: edges at 84ths of 640.
struct Row {
    int top;
    int bottom;
    std::vector<int> edges;
    std::vector<QRgb> colours;
};

const std::vector<Row>& smpteRows() {
    constexpr QRgb kBlack = 0xFF131313;
    static const std::vector<Row> kRows = {
        {0,
         427,
         {0, 91, 183, 274, 366, 457, 549, 640},
         {0xFFBFBFBF, 0xFFBFBF00, 0xFF00BFBF, 0xFF00BF00, 0xFFBF00BF, 0xFFBF0000, 0xFF0000BF}},
        {427,
         480,
         {0, 91, 183, 274, 366, 457, 549, 640},
         {0xFF0000BF, kBlack, 0xFFBF00BF, kBlack, 0xFF00BFBF, kBlack, 0xFFBFBFBF}},
        {480,
         640,
         {0, 114, 229, 343, 457, 488, 518, 549, 640},
         {0xFF00214C, 0xFFFFFFFF, 0xFF32006A, kBlack, 0xFF090909, kBlack, 0xFF1D1D1D, kBlack}},
    };
    return kRows;
}

TEST(ResourceSmpteBars, EachBandHasItsColourAtItsCentre) {
    const QImage bars = rgb(":/Resource/colour-bars-smpte-75-640x640.gif");
    for (const Row& row : smpteRows()) {
        for (std::size_t band = 0; band < row.colours.size(); ++band) {
            const int x = (row.edges[band] + row.edges[band + 1]) / 2;
            EXPECT_EQ(bars.pixel(x, (row.top + row.bottom) / 2), row.colours[band])
                << "row from " << row.top << ", band " << band;
        }
    }
}

TEST(ResourceSmpteBars, BandsAndRowsMeetAtTheComputedEdges) {
    const QImage bars = rgb(":/Resource/colour-bars-smpte-75-640x640.gif");
    for (const Row& row : smpteRows()) {
        for (std::size_t band = 0; band < row.colours.size(); ++band) {
            const int left = row.edges[band];
            const int right = row.edges[band + 1] - 1;
            for (const int y : {row.top, row.bottom - 1}) {
                EXPECT_EQ(bars.pixel(left, y), row.colours[band]) << "x " << left << " y " << y;
                EXPECT_EQ(bars.pixel(right, y), row.colours[band]) << "x " << right << " y " << y;
            }
        }
    }
    EXPECT_EQ(resourcegen::SmpteBars::castellationTop(640), 427);
    EXPECT_EQ(resourcegen::SmpteBars::bottomTop(640), 480);
}

TEST(ResourceSmpteBars, QtsGifReaderGivesThePixelsAsDrawn) {
    QImageReader reader(":/Resource/colour-bars-smpte-75-640x640.gif");
    EXPECT_EQ(reader.format(), "gif");
    const QImage decoded = reader.read().convertToFormat(QImage::Format_RGB32);
    const QImage drawn = resourcegen::SmpteBars::draw();
    ASSERT_EQ(decoded.size(), drawn.size());
    for (int y = 0; y < drawn.height(); ++y) {
        ASSERT_EQ(0, memcmp(decoded.constScanLine(y), drawn.constScanLine(y), drawn.bytesPerLine()))
            << "row " << y;
    }
}

TEST(ResourceIcons, ButtonsAreOpaqueDiscsOnATransparentGround) {
    for (const Picture& picture : compiledIn()) {
        if (picture.size != QSize(64, 64)) {
            continue;
        }
        const QImage icon = QImage(picture.name).convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << picture.name.toStdString();
        EXPECT_EQ(qAlpha(icon.pixel(63, 63)), 0) << picture.name.toStdString();
        EXPECT_EQ(qAlpha(icon.pixel(32, 32)), 255) << picture.name.toStdString();
        EXPECT_EQ(qAlpha(icon.pixel(32, 4)), 255) << picture.name.toStdString();
    }
}

TEST(ResourceIcons, RecordIsARedDotAndStopARedSquare) {
    const QImage record = rgb(":/Resource/recordbutton.png");
    const QImage stop = rgb(":/Resource/Record-Normal-icon.png");
    const QRgb red = qRgb(220, 45, 45);
    const QRgb disc = qRgb(55, 55, 62);
    EXPECT_EQ(record.pixel(32, 32), red);
    EXPECT_EQ(stop.pixel(32, 32), red);
    // Near the square's corner: outside the dot.
    EXPECT_EQ(record.pixel(21, 21), disc);
    EXPECT_EQ(stop.pixel(21, 21), red);
}

TEST(ResourceIcons, HandlesPointUpAndDown) {
    const QImage up = rgb(":/Resource/HANDLE-UP.png");
    const QImage down = rgb(":/Resource/HANDLE-DOWN.png");
    const QRgb glyph = qRgb(250, 250, 250);
    EXPECT_EQ(up.pixel(32, 22), glyph);
    EXPECT_NE(up.pixel(32, 44), glyph);
    EXPECT_EQ(down.pixel(32, 42), glyph);
    EXPECT_NE(down.pixel(32, 20), glyph);
}

TEST(ResourceLogos, MainLogoShowsTheMarkAndTheNameOnTransparency) {
    const QImage logo =
        QImage(":/Resource/NV Logo - Main UI.png").convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(logo.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(logo.pixel(259, 89)), 0);
    EXPECT_EQ(logo.pixel(45, 45), qRgb(20, 22, 28));   // the pupil
    EXPECT_EQ(logo.pixel(45, 10), qRgb(20, 95, 115));  // the ring
    // The name's first stroke, the N's stem, and the rule under the name.
    EXPECT_EQ(logo.pixel(98, 27), qRgb(35, 40, 52));
    EXPECT_EQ(logo.pixel(150, 50), qRgb(20, 95, 115));
}

TEST(ResourcePlaceholder, ReferenceImageIsDarkWithABrightSpot) {
    const QImage spot = rgb(":/Resource/spot245.jpg");
    // JPEG: within a few levels.
    const auto near = [](QRgb pixel, int level) {
        return std::abs(qRed(pixel) - level) <= 4 && std::abs(qGreen(pixel) - level) <= 4 &&
               std::abs(qBlue(pixel) - level) <= 4;
    };
    EXPECT_TRUE(near(spot.pixel(3, 3), 40));
    EXPECT_TRUE(near(spot.pixel(241, 241), 40));
    EXPECT_GT(qGray(spot.pixel(122, 122)), 180);
}

}  // namespace
