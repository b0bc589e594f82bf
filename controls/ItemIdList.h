#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// A folder's place in the tree, relative to the tree's root directory: one item per path
// component (the root itself is the empty list). Stands where the shell would use a
// byte-counted item-ID list; as a value type it needs no allocator and no explicit copy.
class ItemIdList
{
public:
    ItemIdList() = default;
    explicit ItemIdList(QStringList items) : items_(std::move(items)) {}

    const QStringList &items() const { return items_; }
    qsizetype count() const { return items_.size(); }
    bool isEmpty() const { return items_.isEmpty(); }
    QString last() const { return items_.isEmpty() ? QString() : items_.last(); }

    // The parent's list followed by the items of tail.
    ItemIdList concat(const ItemIdList &tail) const;
    // True when this list is a proper leading part of other (an ancestor folder of it).
    bool isAncestorOf(const ItemIdList &other) const;

    bool operator==(const ItemIdList &other) const = default;

private:
    QStringList items_;
};

// How a folder's name is asked for.
enum class ItemName {
    Display,   // the root shows its path, every other folder its own name
    InFolder,  // the folder's name inside its parent
    ForParsing // the whole file-system path
};

// Orders two names of one folder level: case-insensitively first, so that the tree reads
// naturally, then case-sensitively, so that "A" and "a" (distinct folders here) never tie.
int compareItemNames(const QString &a, const QString &b);

// Orders two lists component by component; a list that is a leading part of the other sorts
// first. Returns -1, 0 or 1. Every level of the tree is sorted by this same order, which is
// what lets a search walk each level once from its start.
int PidlComp(const ItemIdList &a, const ItemIdList &b);

// The file-system path that a list names under rootDirectory.
QString pathOfItemId(const QString &rootDirectory, const ItemIdList &list);

// The list of an absolute path under rootDirectory, or nothing when the path lies outside it.
std::optional<ItemIdList> GetPidlfqFromPath(const QString &rootDirectory, const QString &path);

QString GetItemIDName(const QString &rootDirectory, const ItemIdList &list, ItemName kind);

// The data of one tree node: the parent's full list and the node's own item.
class TItemIDs
{
public:
    TItemIDs(ItemIdList parent, ItemIdList item) : parent_(std::move(parent)), item_(std::move(item)) {}
    const ItemIdList &parentItemId() const { return parent_; }
    const ItemIdList &itemId() const { return item_; }
    ItemIdList GetFullItemID() const { return parent_.concat(item_); }

private:
    ItemIdList parent_;
    ItemIdList item_;
};
