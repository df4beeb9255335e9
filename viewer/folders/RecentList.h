// A most-recent-first list of texts kept in a combo box (the data folders, the reference
// pictures) and stored between runs in the program's settings, one key per position ("0", "1",
// ...) inside a group of its own. At most ten items; the placeholder "None" stands for an empty
// list and is never stored, nor is the default item the list starts from.
//
// Used on the GUI thread only.
#pragma once

#include <QString>

class QComboBox;

namespace hv {

class RecentList {
public:
    static constexpr int kMaxItems = 10;
    static const QString kNone;
    static const QString kDirectoriesGroup;
    static const QString kReferenceImagesGroup;
    // The settings' organisation and application.
    static const QString kOrganisation;
    static const QString kApplication;

    // combo lists the texts stored under group; defaultItem stands alone when none is stored.
    RecentList(QComboBox* combo, QString group, QString defaultItem);

    // Appends the stored items in the order of their positions, at most ten, skipping empty,
    // repeated and "None" texts; the default item when none is left.
    void load() const;
    // Rewrites the group whole: the items in order under "0", "1", ..., without "None" and the
    // default item, so that nothing removed from the list comes back at the next start.
    void save() const;
    // Puts text first and makes it current: "None" goes, an existing copy of text moves up
    // instead of doubling, and the oldest falls out past ten. The combo's signals are blocked.
    void insert(const QString& text) const;
    // Moves item index to the top and makes it current, its signals blocked.
    void moveToTop(int index) const;
    // The first item's text; empty for an empty list.
    QString first() const;

private:
    QComboBox* m_combo;
    QString m_group;
    QString m_defaultItem;
};

}  // namespace hv
