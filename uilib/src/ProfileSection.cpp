#include "ProfileSection.h"

ProfileSection::ProfileSection(int maxItems, QWidget* parent)
    : m_maxItems(maxItems), m_parent(parent) {}

void ProfileSection::pushItemToSectionFront(const QString& key, const QString& value) {
    m_items.prepend(qMakePair(key, value));
}

void ProfileSection::pushItemToSectionBack(const QString& key, const QString& value) {
    m_items.append(qMakePair(key, value));
}

void ProfileSection::popItemFromSectionFront() {
    if (!m_items.isEmpty()) {
        m_items.removeFirst();
    }
}

void ProfileSection::popItemFromSectionBack() {
    if (!m_items.isEmpty()) {
        m_items.removeLast();
    }
}

int ProfileSection::indexOf(const QString& key) const {
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items[i].first == key) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QString ProfileSection::insertItemToSectionList(const QString& before, const QString& key,
                                                const QString& value) {
    int at = indexOf(before);
    // A section of fewer than two items has no room for the new one beside its anchor.
    if (at < 0 || m_maxItems < 2) {
        return QString();
    }
    // A full section makes room by dropping its last item; when that is the anchor, the item
    // before it goes instead.
    while (m_items.size() >= m_maxItems) {
        const int last = static_cast<int>(m_items.size()) - 1;
        const int drop = at == last ? last - 1 : last;
        m_items.removeAt(drop);
        if (drop < at) {
            --at;
        }
    }
    m_items.insert(at, qMakePair(key, value));
    return key;
}

QString ProfileSection::removeItemFromSectionList(const QString& key) {
    const int at = indexOf(key);
    if (at < 0) {
        return QString();
    }
    m_items.removeAt(at);
    return key;
}

QString ProfileSection::getItemValFromSectionList(const QString& key) const {
    const int at = indexOf(key);
    return at < 0 ? QString() : m_items[at].second;
}

QString ProfileSection::setItemValToSectionList(const QString& key, const QString& value) {
    const int at = indexOf(key);
    if (at < 0) {
        return QString();
    }
    m_items[at].second = value;
    return key;
}
