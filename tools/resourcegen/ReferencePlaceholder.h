// The reference image window's picture until a reference image is chosen: 245 x 245, the image
// frame's dark grey with a faint sighting target (concentric rings, a cross hair and a bright
// spot in the middle), so the empty window reads as "no reference image yet".
#pragma once

#include <QImage>

namespace resourcegen {

class ReferencePlaceholder {
public:
    static constexpr int kSize = 245;
    static inline const QColor kBackground{40, 40, 40};

    static QImage draw();
};

}  // namespace resourcegen
