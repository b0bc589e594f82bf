#pragma once

#include "controls/ItemIdList.h"

#include <QIcon>
#include <QTreeWidget>

// A tree of the folders under one root directory. A folder's subfolders are read only when
// its node is first expanded; every level is sorted by PidlComp's order.
class TSHTreeView : public QTreeWidget
{
    Q_OBJECT
public:
    explicit TSHTreeView(QWidget *parent = nullptr, const QString &rootDirectory = QStringLiteral("/"));

    QString rootDirectory() const { return root_; }

    // The file-system path of the selected folder; empty when nothing is selected.
    QString GetPath() const;
    // Selects and expands the node of an existing directory under the root, reading the
    // folders on the way; false when the path is no directory or has no node.
    bool SetSelected(const QString &path);
    // Re-reads the whole tree and selects the folder that was selected before.
    void UpdateEx();

    // Fills an unread node that is marked as having subfolders. Runs on every expand.
    bool CanExpand(QTreeWidgetItem *node);

    void ItemsBeginUpdate();
    void ItemsEndUpdate();
    bool isUpdating() const { return updating_ != 0; }

    // The data of a node of this tree (null for a foreign item).
    static const TItemIDs *itemIdsOf(const QTreeWidgetItem *node);

protected:
    void DispInitTreeView();
    void InitTreeView2();
    void FillTreeView(QTreeWidgetItem *node, const QString &folder);
    bool SetSelectedFolder(const ItemIdList &target);

private:
    QTreeWidgetItem *newNode(const ItemIdList &parent, const QString &name);

    QString root_;
    QIcon folderIcon_;
    unsigned char updating_ = 0;
};
