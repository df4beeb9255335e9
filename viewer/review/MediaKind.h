// What the review viewer makes of a saved file, judged by the ending of its name alone (compared
// without regard to case): a picture (".jpg", ".jpeg", ".png"), a video (".avi") or neither.
#pragma once

#include <QString>

namespace hv {

class MediaKind {
public:
    enum Kind { Picture, Video, Unknown };

    static Kind of(const QString& fileName);
};

}  // namespace hv
