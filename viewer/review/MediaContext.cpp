#include "MediaContext.h"

#include <QStringList>
#include <memory>
#include <utility>

#include "CaptureContext.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

namespace hv {

namespace {

struct InputClose {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using Input = std::unique_ptr<AVFormatContext, InputClose>;

// The keywords photos are written with, in their order.
QStringList captureKeywords() {
    return {CaptureContext::kCreationTime, CaptureContext::kSoftware,
            CaptureContext::kSource,       CaptureContext::kSerialNumber,
            CaptureContext::kFpgaVersion,  CaptureContext::kMcuVersion,
            CaptureContext::kIllumination, CaptureContext::kReference};
}

}  // namespace

MediaContext::Entries MediaContext::ofPicture(const QImage& picture) {
    QStringList keys = picture.textKeys();
    QStringList ordered;
    for (const QString& keyword : captureKeywords()) {
        if (keys.removeAll(keyword) > 0) {
            ordered << keyword;
        }
    }
    keys.sort();
    ordered << keys;

    Entries entries;
    for (const QString& key : ordered) {
        entries.append({key, picture.text(key)});
    }
    return entries;
}

MediaContext::Entries MediaContext::ofVideo(const QString& fileName) {
    AVFormatContext* opened = nullptr;
    // The container's header holds its metadata; no packet is read.
    if (avformat_open_input(&opened, fileName.toUtf8().constData(), nullptr, nullptr) != 0) {
        return {};
    }
    const Input input(opened);
    Entries entries;
    const std::pair<const char*, QString> fields[] = {{"title", QStringLiteral("Title")},
                                                      {"comment", QStringLiteral("Comment")}};
    for (const auto& [key, caption] : fields) {
        const AVDictionaryEntry* entry = av_dict_get(input->metadata, key, nullptr, 0);
        if (entry != nullptr && entry->value != nullptr && entry->value[0] != '\0') {
            entries.append({caption, QString::fromUtf8(entry->value)});
        }
    }
    return entries;
}

QString MediaContext::text(const Entries& entries) {
    QStringList lines;
    for (const auto& [caption, value] : entries) {
        lines << caption + QStringLiteral(": ") + value;
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace hv
