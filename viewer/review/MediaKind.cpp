#include "MediaKind.h"

namespace hv {

MediaKind::Kind MediaKind::of(const QString& fileName) {
    const auto endsWith = [&fileName](const char* ending) {
        return fileName.endsWith(QLatin1String(ending), Qt::CaseInsensitive);
    };
    if (endsWith(".jpg") || endsWith(".png") || endsWith(".jpeg")) {
        return Picture;
    }
    if (endsWith(".avi")) {
        return Video;
    }
    return Unknown;
}

}  // namespace hv
