#include "MeteringWindow.h"

#include <algorithm>

namespace hv {

namespace {

// The canvas shows the field enlarged to this many pixels a side.
constexpr int kCanvasEdge = 640;
// Blocks along each side of the window.
constexpr int kGrid = 4;

}  // namespace

int MeteringWindow::sizeOfEntry(int index) {
    if (index < 0 || index >= kSizeEntries) {
        return 0;
    }
    return std::min(kSizeStep * (index + 1), kField);
}

bool MeteringWindow::fits(int x, int y, int size) {
    const bool wholeField = x == 0 && y == 0 && size == kField;
    return wholeField || (x + size < kField && y + size < kField);
}

int MeteringWindow::end(int start, int size) {
    return std::min(start + size, kLastPixel);
}

QPoint MeteringWindow::fieldPoint(QPoint canvasPoint) {
    return QPoint(canvasPoint.x() * kField / kCanvasEdge, canvasPoint.y() * kField / kCanvasEdge);
}

void MeteringWindow::moveToward(QPoint fieldPoint) {
    const int halfColumn = m_width / kGrid / 2;
    if (fieldPoint.x() < m_x) {
        m_x = std::max(0, m_x - halfColumn);
    } else if (fieldPoint.x() >= m_x + m_width) {
        m_x += halfColumn;
        if (m_x >= kField) {
            m_x = kField - m_width;
        }
    }
    const int halfRow = m_height / kGrid / 2;
    if (fieldPoint.y() < m_y) {
        m_y = std::max(0, m_y - halfRow);
    } else if (fieldPoint.y() > m_y + m_height) {
        m_y += m_height + halfRow;
        if (m_y >= kField) {
            m_y = kField - m_height - halfRow;
        }
    }
}

int MeteringWindow::blockAt(QPoint fieldPoint) const {
    const int blockWidth = m_width / kGrid;
    const int blockHeight = m_height / kGrid;
    if (blockWidth <= 0 || blockHeight <= 0 || fieldPoint.x() < m_x || fieldPoint.y() < m_y) {
        return -1;
    }
    const int column = (fieldPoint.x() - m_x) / blockWidth;
    const int row = (fieldPoint.y() - m_y) / blockHeight;
    if (column >= kGrid || row >= kGrid) {
        return -1;
    }
    return column + kGrid * row;
}

}  // namespace hv
