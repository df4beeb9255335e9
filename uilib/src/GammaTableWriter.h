// Turns the editor's curve into a gamma table file: 1024 lines "input output", the input level
// 0..1023 written as a real number and the output level an integer 0..1023, as the camera
// library reads a type-0 table.
#pragma once

#include <QPainterPath>
#include <QRectF>
#include <array>
#include <string>

namespace kxui {

class GammaTableWriter {
public:
    static constexpr int kEntries = 1024;
    static constexpr int kMaxLevel = kEntries - 1;
    using Levels = std::array<int, kEntries>;

    // The output level of each input level, read off curve (scene coordinates) drawn over area:
    // input 0 at the area's left edge and 1023 at its right, output 0 at its bottom and 1023 at
    // its top. Input levels left or right of the curve take its first or last point's level;
    // an empty curve or an area under one pixel gives the identity.
    static Levels levels(const QPainterPath& curve, const QRectF& area);

    // Writes the table to file, replacing it in one rename. 0 on success, else the errno
    // value of the failure; the old file is then unchanged.
    static int write(const std::string& file, const Levels& levels);
};

}  // namespace kxui
