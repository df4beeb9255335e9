// The recent lists: ten items at most, newest first, no doubles, and a store that holds exactly
// what the list holds apart from "None" and the default item.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QSettings>
#include <QStringList>

#include "RecentList.h"
#include "TempDir.h"

namespace {

const QString kGroup = QStringLiteral("Recent Directories");
const QString kDefault = QStringLiteral("/work/ImageData/default");

QStringList itemsOf(const QComboBox& combo) {
    QStringList items;
    for (int i = 0; i < combo.count(); ++i) {
        items << combo.itemText(i);
    }
    return items;
}

class RecentListTest : public testing::Test {
protected:
    RecentListTest() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(m_folder.path()));
    }

    TempDir m_folder;
};

TEST_F(RecentListTest, InsertingKeepsTenNewestFirstWithoutDoublesAndDropsNone) {
    QComboBox combo;
    hv::RecentList list(&combo, kGroup, kDefault);
    combo.addItem(hv::RecentList::kNone);
    int changes = 0;
    QObject::connect(&combo, &QComboBox::currentIndexChanged, [&changes] { ++changes; });
    list.insert(QStringLiteral("f0"));
    EXPECT_EQ(itemsOf(combo), QStringList{QStringLiteral("f0")});
    for (int i = 1; i <= 10; ++i) {
        list.insert(QStringLiteral("f%1").arg(i));
    }
    // The eleventh pushed out the oldest.
    ASSERT_EQ(combo.count(), 10);
    EXPECT_EQ(combo.itemText(0), QStringLiteral("f10"));
    EXPECT_EQ(combo.itemText(9), QStringLiteral("f1"));
    EXPECT_EQ(combo.findText(QStringLiteral("f0")), -1);
    // An item already there moves up instead of doubling, and nothing falls out for it.
    list.insert(QStringLiteral("f4"));
    EXPECT_EQ(combo.count(), 10);
    EXPECT_EQ(combo.itemText(0), QStringLiteral("f4"));
    EXPECT_EQ(itemsOf(combo).count(QStringLiteral("f4")), 1);
    EXPECT_EQ(combo.itemText(9), QStringLiteral("f1"));
    list.moveToTop(9);
    EXPECT_EQ(combo.itemText(0), QStringLiteral("f1"));
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_EQ(changes, 0) << "list changes are made with the combo's signals blocked";
}

TEST_F(RecentListTest, SavingRewritesTheGroupWithoutNoneOrTheDefaultAndLoadingReadsItBack) {
    {
        QSettings settings(hv::RecentList::kOrganisation, hv::RecentList::kApplication);
        settings.beginGroup(kGroup);
        for (int i = 0; i < 10; ++i) {
            settings.setValue(QString::number(i), QStringLiteral("stale%1").arg(i));
        }
    }
    QComboBox combo;
    hv::RecentList list(&combo, kGroup, kDefault);
    combo.addItem(kDefault);
    combo.addItem(QStringLiteral("/data/a"));
    combo.addItem(hv::RecentList::kNone);
    combo.addItem(QStringLiteral("/data/b"));
    list.save();
    {
        QSettings settings(hv::RecentList::kOrganisation, hv::RecentList::kApplication);
        settings.beginGroup(kGroup);
        EXPECT_EQ(settings.childKeys(), (QStringList{QStringLiteral("0"), QStringLiteral("1")}));
        EXPECT_EQ(settings.value(QStringLiteral("0")).toString(), QStringLiteral("/data/a"));
        EXPECT_EQ(settings.value(QStringLiteral("1")).toString(), QStringLiteral("/data/b"));
    }
    QComboBox again;
    hv::RecentList(&again, kGroup, kDefault).load();
    EXPECT_EQ(itemsOf(again), (QStringList{QStringLiteral("/data/a"), QStringLiteral("/data/b")}));

    // A list left with only its default stores nothing, and an empty store loads the default.
    QComboBox onlyDefault;
    onlyDefault.addItem(kDefault);
    hv::RecentList(&onlyDefault, kGroup, kDefault).save();
    QComboBox fresh;
    hv::RecentList(&fresh, kGroup, kDefault).load();
    EXPECT_EQ(itemsOf(fresh), QStringList{kDefault});
    QComboBox references;
    hv::RecentList(&references, hv::RecentList::kReferenceImagesGroup, hv::RecentList::kNone)
        .load();
    EXPECT_EQ(itemsOf(references), QStringList{hv::RecentList::kNone});
}

}  // namespace

TEST_F(RecentListTest, AHandEditedStoreLoadsInPositionOrderWithinTheListsRules) {
    {
        QSettings settings(hv::RecentList::kOrganisation, hv::RecentList::kApplication);
        settings.beginGroup(kGroup);
        for (int i = 0; i < 14; ++i) {
            settings.setValue(QString::number(i), QStringLiteral("/data/%1").arg(i));
        }
        settings.setValue(QStringLiteral("3"), QString());                  // empty
        settings.setValue(QStringLiteral("5"), QStringLiteral("/data/1"));  // repeated
        settings.setValue(QStringLiteral("6"), hv::RecentList::kNone);      // the placeholder
        settings.setValue(QStringLiteral("name"), QStringLiteral("/x"));    // no position
        settings.setValue(QStringLiteral("-1"), QStringLiteral("/y"));      // no position
    }
    QComboBox combo;
    hv::RecentList(&combo, kGroup, kDefault).load();
    // "10" comes after "9" although the store lists it after "1".
    EXPECT_EQ(itemsOf(combo),
              (QStringList{"/data/0", "/data/1", "/data/2", "/data/4", "/data/7", "/data/8",
                           "/data/9", "/data/10", "/data/11", "/data/12"}));

    // A group with nothing usable gives the default item alone.
    {
        QSettings settings(hv::RecentList::kOrganisation, hv::RecentList::kApplication);
        settings.beginGroup(kGroup);
        settings.remove(QString());
        settings.setValue(QStringLiteral("0"), hv::RecentList::kNone);
        settings.setValue(QStringLiteral("x"), QStringLiteral("/x"));
    }
    QComboBox fresh;
    hv::RecentList(&fresh, kGroup, kDefault).load();
    EXPECT_EQ(itemsOf(fresh), QStringList{kDefault});
}
