#include "RecentList.h"

#include <QComboBox>
#include <QSettings>
#include <QSignalBlocker>
#include <QStringList>
#include <algorithm>
#include <utility>
#include <vector>

namespace hv {

const QString RecentList::kNone = QStringLiteral("None");
const QString RecentList::kDirectoriesGroup = QStringLiteral("Recent Directories");
const QString RecentList::kReferenceImagesGroup = QStringLiteral("Recent Reference Images");
const QString RecentList::kOrganisation = QStringLiteral("Nelvora");
const QString RecentList::kApplication = QStringLiteral("Orlo Camera");

RecentList::RecentList(QComboBox* combo, QString group, QString defaultItem)
    : m_combo(combo), m_group(std::move(group)), m_defaultItem(std::move(defaultItem)) {}

void RecentList::load() const {
    QSettings settings(kOrganisation, kApplication);
    settings.beginGroup(m_group);
    // The store's keys are the positions "0" to "9", which its own (text) order keeps. A settings
    // file edited by hand or damaged may hold more, or keys that are no positions, or empty,
    // repeated or "None" texts: positions are taken in number order ("10" after "9") and the
    // first ten usable texts kept, so the list keeps its rules from the first start.
    std::vector<std::pair<long long, QString>> stored;
    for (const QString& key : settings.childKeys()) {
        bool number = false;
        const long long position = key.toLongLong(&number);
        if (number && position >= 0) {
            stored.emplace_back(position, settings.value(key).toString());
        }
    }
    settings.endGroup();
    std::stable_sort(stored.begin(), stored.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList items;
    for (const auto& [position, text] : stored) {
        if (items.size() < kMaxItems && !text.isEmpty() && text != kNone && !items.contains(text)) {
            items << text;
        }
    }
    const QSignalBlocker blocker(m_combo);
    m_combo->addItems(items.isEmpty() ? QStringList{m_defaultItem} : items);
}

void RecentList::save() const {
    QSettings settings(kOrganisation, kApplication);
    settings.beginGroup(m_group);
    settings.remove(QString());
    int key = 0;
    for (int i = 0; i < m_combo->count(); ++i) {
        const QString text = m_combo->itemText(i);
        if (text != kNone && text != m_defaultItem) {
            settings.setValue(QString::number(key++), text);
        }
    }
    settings.endGroup();
}

void RecentList::insert(const QString& text) const {
    const QSignalBlocker blocker(m_combo);
    const int none = m_combo->findText(kNone);
    if (none >= 0) {
        m_combo->removeItem(none);
    }
    const int existing = m_combo->findText(text);
    if (existing >= 0) {
        m_combo->removeItem(existing);
    }
    if (m_combo->count() >= kMaxItems) {
        m_combo->removeItem(m_combo->count() - 1);
    }
    m_combo->insertItem(0, text);
    m_combo->setCurrentIndex(0);
}

void RecentList::moveToTop(int index) const {
    const QSignalBlocker blocker(m_combo);
    const QString text = m_combo->itemText(index);
    m_combo->removeItem(index);
    m_combo->insertItem(0, text);
    m_combo->setCurrentIndex(0);
}

QString RecentList::first() const {
    return m_combo->itemText(0);
}

}  // namespace hv
