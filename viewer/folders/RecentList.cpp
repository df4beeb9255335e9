#include "RecentList.h"

#include <QComboBox>
#include <QSettings>
#include <QSignalBlocker>
#include <QStringList>

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
    const QStringList keys = settings.childKeys();
    const QSignalBlocker blocker(m_combo);
    if (keys.isEmpty()) {
        m_combo->addItem(m_defaultItem);
    }
    for (const QString& key : keys) {
        m_combo->addItem(settings.value(key).toString());
    }
    settings.endGroup();
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
