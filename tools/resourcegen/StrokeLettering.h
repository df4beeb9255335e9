// Capital letters drawn as strokes, so that the logos come out the same on every build machine
// whatever fonts it has. A letter is a centre-line path in a cell one cap height tall; the
// caller strokes it with a round-capped pen (penWidth suggests the weight that suits the
// height). The letters the logos use: A E L N O R V, and the space.
#pragma once

#include <QChar>
#include <QPainterPath>
#include <QString>

namespace resourcegen {

class StrokeLettering {
public:
    // The centre lines of the text with its first letter's cell at the origin, letters `gap` cap
    // heights apart; throws std::invalid_argument for a letter it cannot draw.
    static QPainterPath path(const QString& text, double capHeight, double gap = 0.32);
    // The width of that path's cells: the text's extent minus the pen.
    static double width(const QString& text, double capHeight, double gap = 0.32);
    static double penWidth(double capHeight) { return capHeight * 0.16; }

private:
    static double advance(QChar letter);  // cell width in cap heights
    static QPainterPath letter(QChar letter, double capHeight);
};

}  // namespace resourcegen
