#pragma once
// The drop-down lists of the entry dialogs: sorted, and a text goes in only when no item
// already begins with it (letters compared without regard to case), so 阿莫西林 is not added
// once 阿莫西林胶囊 is there. A list of ten thousand cards fills in a few milliseconds.
#include <QByteArray>
#include <QStringList>
#include <map>

class CResultTable;

class CPickerList {
public:
    // Whether an item begins with `text`.
    bool HasItemBeginningWith(const QString& text) const;
    // Adds `text` unless an item begins with it. An empty text offers nothing to pick and is
    // never added. Returns whether it was added.
    bool Add(const QString& text);
    // The items in list order.
    QStringList Items() const;

    // The list of one column of a result, its rows taken in result order.
    static QStringList FromColumn(const CResultTable& rows, int column);

private:
    // Sorted by the key: the text without regard to case, Chinese as GBK programs order it.
    // A text's key begins with the key of each of its beginnings, so the items beginning with
    // a text sit together from where that text would go.
    static QByteArray Key(const QString& text);
    std::map<QByteArray, QString> m_items;
};
