// The recent lists' settings file: any content loads into lists that keep their rules (one to ten
// items, none empty, none twice, "None" only as the default standing alone), and what a list saves
// loads back as the same list.
#include <QComboBox>
#include <QSettings>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "FuzzScratch.h"
#include "RecentList.h"

namespace {

QStringList itemsOf(const QComboBox& combo) {
    QStringList items;
    for (int i = 0; i < combo.count(); ++i) {
        items << combo.itemText(i);
    }
    return items;
}

bool keepsTheRules(const QStringList& items, const QString& defaultItem) {
    QStringList distinct = items;
    if (items.isEmpty() || items.size() > hv::RecentList::kMaxItems ||
        distinct.removeDuplicates() != 0) {
        return false;
    }
    for (const QString& item : items) {
        if (item.isEmpty() ||
            (item == hv::RecentList::kNone && items != QStringList{defaultItem})) {
            return false;
        }
    }
    return true;
}

QStringList loaded(const QString& group, const QString& defaultItem) {
    QComboBox combo;
    hv::RecentList(&combo, group, defaultItem).load();
    return itemsOf(combo);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        fuzz::FuzzScratch::startQt();
        std::filesystem::create_directories(fuzz::FuzzScratch::folder() + "/" +
                                            hv::RecentList::kOrganisation.toStdString());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(fuzz::FuzzScratch::folder()));
        return true;
    }();
    (void)ready;
    const std::string file =
        (hv::RecentList::kOrganisation + "/" + hv::RecentList::kApplication + ".conf")
            .toStdString();
    fuzz::FuzzScratch::write(file.c_str(), data, size);

    const QString defaultFolder = QStringLiteral("/root/ImageData/default");
    for (const auto& [group, defaultItem] :
         {std::pair{hv::RecentList::kDirectoriesGroup, defaultFolder},
          std::pair{hv::RecentList::kReferenceImagesGroup, hv::RecentList::kNone}}) {
        QComboBox combo;
        const hv::RecentList list(&combo, group, defaultItem);
        list.load();
        const QStringList items = itemsOf(combo);
        if (!keepsTheRules(items, defaultItem)) {
            __builtin_trap();
        }
        list.save();
        QStringList kept = items;
        kept.removeAll(defaultItem);
        const QStringList again = loaded(group, defaultItem);
        if (again != (kept.isEmpty() ? QStringList{defaultItem} : kept)) {
            __builtin_trap();
        }
    }
    return 0;
}
