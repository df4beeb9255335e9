#include "SmpteBars.h"

#include <QPainter>

namespace resourcegen {

namespace {

constexpr int kBar = SmpteBars::kParts / 7;  // one bar in 84ths
constexpr QRgb kWhite75 = 0xFFBFBFBFu;
constexpr QRgb kYellow75 = 0xFFBFBF00u;
constexpr QRgb kCyan75 = 0xFF00BFBFu;
constexpr QRgb kGreen75 = 0xFF00BF00u;
constexpr QRgb kMagenta75 = 0xFFBF00BFu;
constexpr QRgb kRed75 = 0xFFBF0000u;
constexpr QRgb kBlue75 = 0xFF0000BFu;
constexpr QRgb kBlack = 0xFF131313u;       // 7.5% set-up, 19
constexpr QRgb kBelowBlack = 0xFF090909u;  // 9
constexpr QRgb kAboveBlack = 0xFF1D1D1Du;  // 29
constexpr QRgb kMinusI = 0xFF00214Cu;      // 0,33,76
constexpr QRgb kWhite100 = 0xFFFFFFFFu;
constexpr QRgb kPlusQ = 0xFF32006Au;  // 50,0,106

std::vector<SmpteBars::Band> sevenBars(const std::vector<QRgb>& colours) {
    std::vector<SmpteBars::Band> bands;
    for (int bar = 0; bar < 7; ++bar) {
        bands.push_back({bar * kBar, (bar + 1) * kBar, colours[static_cast<std::size_t>(bar)]});
    }
    return bands;
}

// n/d of total, rounded half up.
int scaled(int total, int n, int d) {
    return (2 * n * total + d) / (2 * d);
}

}  // namespace

const std::vector<SmpteBars::Band>& SmpteBars::barRow() {
    static const std::vector<Band> kRow =
        sevenBars({kWhite75, kYellow75, kCyan75, kGreen75, kMagenta75, kRed75, kBlue75});
    return kRow;
}

const std::vector<SmpteBars::Band>& SmpteBars::castellationRow() {
    static const std::vector<Band> kRow =
        sevenBars({kBlue75, kBlack, kMagenta75, kBlack, kCyan75, kBlack, kWhite75});
    return kRow;
}

const std::vector<SmpteBars::Band>& SmpteBars::bottomRow() {
    constexpr int kQuarterWider = kBar * 5 / 4;  // -I, white and +Q: 15 84ths each
    constexpr int kThird = kBar / 3;             // one PLUGE step: 4 84ths
    static const std::vector<Band> kRow = {
        {0, kQuarterWider, kMinusI},
        {kQuarterWider, 2 * kQuarterWider, kWhite100},
        {2 * kQuarterWider, 3 * kQuarterWider, kPlusQ},
        {3 * kQuarterWider, 5 * kBar, kBlack},
        {5 * kBar, 5 * kBar + kThird, kBelowBlack},
        {5 * kBar + kThird, 5 * kBar + 2 * kThird, kBlack},
        {5 * kBar + 2 * kThird, 6 * kBar, kAboveBlack},
        {6 * kBar, 7 * kBar, kBlack},
    };
    return kRow;
}

int SmpteBars::columnOf(int part, int width) {
    return scaled(width, part, kParts);
}

int SmpteBars::castellationTop(int height) {
    return scaled(height, 2, 3);
}

int SmpteBars::bottomTop(int height) {
    return scaled(height, 3, 4);
}

QImage SmpteBars::draw(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    const auto fillRow = [&](const std::vector<Band>& row, int top, int bottom) {
        for (const Band& band : row) {
            const int left = columnOf(band.fromPart, width);
            const int right = columnOf(band.toPart, width);
            painter.fillRect(left, top, right - left, bottom - top, QColor::fromRgb(band.colour));
        }
    };
    fillRow(barRow(), 0, castellationTop(height));
    fillRow(castellationRow(), castellationTop(height), bottomTop(height));
    fillRow(bottomRow(), bottomTop(height), height);
    return image;
}

}  // namespace resourcegen
