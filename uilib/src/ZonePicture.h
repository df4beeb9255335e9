// The zone picture of the metering dialog: the 400 x 400 metering window drawn with its zones
// (16 zones in a 4 x 4 grid, or 13: a 3 x 3 middle and four outer corners; a spot for spot
// metering) and the 16 weight boxes placed over it at their zones' boxes.
#pragma once

#include <QWidget>
#include <array>

#include "MeteringRecord.h"

class QSpinBox;

namespace kxui {

class ZonePicture : public QWidget {
public:
    static constexpr int kSide = 400;

    explicit ZonePicture(QWidget* parent = nullptr);

    // What to draw: type 0 sixteen zones, 1 thirteen; spot draws the spot instead.
    void showLayout(int type, bool spot);
    // The weight box of zone i (0..15), named "weightBox00" to "weightBox15", range 0..15.
    QSpinBox* weightBox(int index) const { return m_boxes[index]; }
    // Moves the weight boxes to the record's boxes.
    void placeBoxes(const MeteringZone (&zones)[MeteringRecord::kZones]);

    bool showsSpot() const { return m_spot; }
    int zoneType() const { return m_type; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<QSpinBox*, MeteringRecord::kZones> m_boxes{};
    int m_type = 0;
    bool m_spot = false;
};

}  // namespace kxui
