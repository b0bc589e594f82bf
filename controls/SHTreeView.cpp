#include "controls/SHTreeView.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHeaderView>
#include <QStyle>

#include <algorithm>

namespace
{

constexpr int shellNodeType = QTreeWidgetItem::UserType + 0x5348;

class ShellNode : public QTreeWidgetItem
{
public:
    explicit ShellNode(TItemIDs ids) : QTreeWidgetItem(shellNodeType), ids_(std::move(ids)) {}
    const TItemIDs &ids() const { return ids_; }

private:
    TItemIDs ids_;
};

constexpr QDir::Filters folderFilter = QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot;

bool hasSubfolders(const QString &folder)
{
    QDirIterator it(folder, folderFilter);
    return it.hasNext();
}

} // namespace

TSHTreeView::TSHTreeView(QWidget *parent, const QString &rootDirectory)
    : QTreeWidget(parent), root_(QDir::cleanPath(rootDirectory.isEmpty() ? QStringLiteral("/") : rootDirectory))
{
    setColumnCount(1);
    setHeaderHidden(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *node) { CanExpand(node); });
    DispInitTreeView();
}

const TItemIDs *TSHTreeView::itemIdsOf(const QTreeWidgetItem *node)
{
    if (!node || node->type() != shellNodeType)
        return nullptr;
    return &static_cast<const ShellNode *>(node)->ids();
}

void TSHTreeView::DispInitTreeView()
{
    // Closed folder for the normal image, open folder for the selected one.
    folderIcon_ = QIcon();
    folderIcon_.addPixmap(style()->standardPixmap(QStyle::SP_DirClosedIcon), QIcon::Normal);
    folderIcon_.addPixmap(style()->standardPixmap(QStyle::SP_DirOpenIcon), QIcon::Selected);
    InitTreeView2();
}

QTreeWidgetItem *TSHTreeView::newNode(const ItemIdList &parent, const QString &name)
{
    const ItemIdList item = name.isNull() ? ItemIdList() : ItemIdList({name});
    auto *node = new ShellNode(TItemIDs(parent, item));
    const ItemIdList full = node->ids().GetFullItemID();
    node->setText(0, GetItemIDName(root_, full, ItemName::Display));
    node->setIcon(0, folderIcon_);
    node->setChildIndicatorPolicy(hasSubfolders(pathOfItemId(root_, full))
                                      ? QTreeWidgetItem::ShowIndicator
                                      : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    return node;
}

void TSHTreeView::InitTreeView2()
{
    QTreeWidgetItem *rootNode = newNode(ItemIdList(), QString());
    addTopLevelItem(rootNode);
    FillTreeView(rootNode, root_);
    rootNode->setExpanded(true);
}

void TSHTreeView::FillTreeView(QTreeWidgetItem *node, const QString &folder)
{
    const TItemIDs *ids = itemIdsOf(node);
    if (!ids)
        return;
    QStringList names;
    QDirIterator it(folder, folderFilter);
    while (it.hasNext()) {
        it.next();
        names << it.fileName();
    }
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return compareItemNames(a, b) < 0; });
    const ItemIdList full = ids->GetFullItemID();
    QList<QTreeWidgetItem *> children;
    children.reserve(names.size());
    for (const QString &name : names)
        children << newNode(full, name);
    node->addChildren(children);
    if (children.isEmpty())
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

bool TSHTreeView::CanExpand(QTreeWidgetItem *node)
{
    const TItemIDs *ids = itemIdsOf(node);
    if (ids && node->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator && node->childCount() == 0) {
        const QString folder = pathOfItemId(root_, ids->GetFullItemID());
        if (QFileInfo(folder).isDir())
            FillTreeView(node, folder);
    }
    return true;
}

QString TSHTreeView::GetPath() const
{
    const QList<QTreeWidgetItem *> selected = selectedItems();
    const TItemIDs *ids = selected.isEmpty() ? nullptr : itemIdsOf(selected.first());
    if (!ids)
        return QString();
    return GetItemIDName(root_, ids->GetFullItemID(), ItemName::ForParsing);
}

void TSHTreeView::ItemsBeginUpdate()
{
    updating_ = 1;
    setUpdatesEnabled(false);
}

void TSHTreeView::ItemsEndUpdate()
{
    setUpdatesEnabled(true);
    updating_ = 0;
}

bool TSHTreeView::SetSelected(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return false;
    const std::optional<ItemIdList> target = GetPidlfqFromPath(root_, path);
    if (!target)
        return false;
    ItemsBeginUpdate();
    const bool found = SetSelectedFolder(*target);
    ItemsEndUpdate();
    return found;
}

// Walks each level from its first node: the nodes are in PidlComp order, so the target lies
// under the last node that sorts before it, and a level is left at the first node that sorts
// after it. The walk begins at the root node, which stands for the root directory itself.
bool TSHTreeView::SetSelectedFolder(const ItemIdList &target)
{
    QTreeWidgetItem *current = topLevelItem(0);
    QTreeWidgetItem *previous = nullptr;
    while (current) {
        const ItemIdList full = itemIdsOf(current)->GetFullItemID();
        const int c = PidlComp(full, target);
        if (c == 0) {
            setCurrentItem(current);
            current->setExpanded(true);
            scrollToItem(current);
            return true;
        }
        QTreeWidgetItem *next = nullptr;
        if (c < 0) {
            QTreeWidgetItem *parent = current->parent();
            const int index = parent ? parent->indexOfChild(current) : indexOfTopLevelItem(current);
            next = parent ? parent->child(index + 1) : topLevelItem(index + 1);
            if (next) {
                previous = current;
                current = next;
                continue;
            }
            previous = current;
        }
        // Descend into the last node that sorted before the target, if it is an ancestor.
        QTreeWidgetItem *ancestor = previous;
        if (!ancestor || !itemIdsOf(ancestor)->GetFullItemID().isAncestorOf(target))
            return false;
        CanExpand(ancestor);
        ancestor->setExpanded(true);
        current = ancestor->child(0);
        previous = nullptr;
    }
    return false;
}

void TSHTreeView::UpdateEx()
{
    const QString path = GetPath();
    clear();
    DispInitTreeView();
    SetSelected(path);
}
