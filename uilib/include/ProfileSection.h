// One named list of a profile file: (key, value) items between a head line and a tail line,
// with a maximum number of items, so that a section works as a bounded most-recent list.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include "kxUiExport.h"

class QWidget;

class KXUI_API ProfileSection {
public:
    explicit ProfileSection(int maxItems = 16, QWidget* parent = nullptr);

    void setSectionHead(const QString& head) { m_head = head; }
    QString getSectionHead() const { return m_head; }
    void setSectionTail(const QString& tail) { m_tail = tail; }
    QString getSectionTail() const { return m_tail; }
    void setSectionRead(int count) { m_readCount = count; }
    int getSectionRead() const { return m_readCount; }
    void incSectionRead() { ++m_readCount; }
    int getItemSize() const { return static_cast<int>(m_items.size()); }
    int getMaxItems() const { return m_maxItems; }
    const QList<QPair<QString, QString>>& items() const { return m_items; }
    // The widget that messages about this section are shown over.
    QWidget* getParentWidget() const { return m_parent; }

    void pushItemToSectionFront(const QString& key, const QString& value);
    void pushItemToSectionBack(const QString& key, const QString& value);
    // Removing from an empty section does nothing.
    void popItemFromSectionFront();
    void popItemFromSectionBack();

    // Inserts (key, value) ahead of the first item whose key is before and returns key; a full
    // section first drops its last item, or the one before it when the last is the anchor.
    // When before is absent, or the maximum leaves no room beside it, nothing changes and the
    // result is empty. (The anchor is looked up first, so making room can neither remove the
    // anchor nor drop an item for nothing.)
    QString insertItemToSectionList(const QString& before, const QString& key,
                                    const QString& value);
    // Removes the first item with that key and returns the key (empty when absent).
    QString removeItemFromSectionList(const QString& key);
    // The value of the first item with that key (empty when absent).
    QString getItemValFromSectionList(const QString& key) const;
    // Replaces the value of the first item with that key and returns the key (empty when
    // absent).
    QString setItemValToSectionList(const QString& key, const QString& value);

private:
    int indexOf(const QString& key) const;

    QList<QPair<QString, QString>> m_items;
    QString m_head;
    QString m_tail;
    int m_maxItems;
    int m_readCount = 0;
    QWidget* m_parent;
};
