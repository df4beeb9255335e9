// The capture context a saved file carries, for the review viewer to show beside the picture: a
// photo's PNG text chunks, or a recording's container title and comment. A file without any, or
// one that cannot be read, has none.
//
// Used on the GUI thread only.
#pragma once

#include <QImage>
#include <QList>
#include <QPair>
#include <QString>

namespace hv {

class MediaContext {
public:
    // Caption and text of each fact.
    using Entries = QList<QPair<QString, QString>>;

    // The text chunks a picture was read with: the capture keywords first, in the order photos
    // are written with, then any others by keyword.
    static Entries ofPicture(const QImage& picture);
    // The "Title" and "Comment" of a video's container, each when it is there and not empty.
    static Entries ofVideo(const QString& fileName);
    // One "caption: text" line per entry.
    static QString text(const Entries& entries);
};

}  // namespace hv
