#include "controls/ItemIdList.h"

#include <QDir>

ItemIdList ItemIdList::concat(const ItemIdList &tail) const
{
    return ItemIdList(items_ + tail.items_);
}

bool ItemIdList::isAncestorOf(const ItemIdList &other) const
{
    if (items_.size() >= other.items_.size())
        return false;
    for (qsizetype i = 0; i < items_.size(); ++i) {
        if (items_[i] != other.items_[i])
            return false;
    }
    return true;
}

int compareItemNames(const QString &a, const QString &b)
{
    int c = QString::compare(a, b, Qt::CaseInsensitive);
    if (c == 0)
        c = QString::compare(a, b, Qt::CaseSensitive);
    return (c > 0) - (c < 0);
}

int PidlComp(const ItemIdList &a, const ItemIdList &b)
{
    const qsizetype common = std::min(a.count(), b.count());
    for (qsizetype i = 0; i < common; ++i) {
        if (const int c = compareItemNames(a.items()[i], b.items()[i]))
            return c;
    }
    return (a.count() > b.count()) - (a.count() < b.count());
}

QString pathOfItemId(const QString &rootDirectory, const ItemIdList &list)
{
    QString path = QDir::cleanPath(rootDirectory);
    for (const QString &item : list.items()) {
        if (!path.endsWith(u'/'))
            path += u'/';
        path += item;
    }
    return path;
}

std::optional<ItemIdList> GetPidlfqFromPath(const QString &rootDirectory, const QString &path)
{
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return std::nullopt;
    const QString root = QDir::cleanPath(rootDirectory);
    const QString clean = QDir::cleanPath(path);
    if (clean == root)
        return ItemIdList();
    const QString prefix = root.endsWith(u'/') ? root : root + u'/';
    if (!clean.startsWith(prefix))
        return std::nullopt;
    return ItemIdList(clean.mid(prefix.size()).split(u'/', Qt::SkipEmptyParts));
}

QString GetItemIDName(const QString &rootDirectory, const ItemIdList &list, ItemName kind)
{
    switch (kind) {
    case ItemName::ForParsing:
        return pathOfItemId(rootDirectory, list);
    case ItemName::Display:
        return list.isEmpty() ? QDir::cleanPath(rootDirectory) : list.last();
    case ItemName::InFolder:
        break;
    }
    return list.last();
}
