#include "controls/SHTreeView.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

namespace
{

QStringList childTexts(const QTreeWidgetItem *node)
{
    QStringList out;
    for (int i = 0; i < node->childCount(); ++i)
        out << node->child(i)->text(0);
    return out;
}

QTreeWidgetItem *childNamed(const QTreeWidgetItem *node, const QString &name)
{
    const QList<QTreeWidgetItem *> found = node->treeWidget()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    for (QTreeWidgetItem *item : found)
        if (item->parent() == node)
            return item;
    return nullptr;
}

// root/{A, b, .hidden, a b, a/{x/deep, y}, empty, file.txt}
class SHTreeViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir root(dir.path());
        for (const char *sub : {"A", "b", ".hidden/inner", "a b", "a/x/deep", "a/y", "empty"})
            ASSERT_TRUE(root.mkpath(QString::fromUtf8(sub)));
        QFile file(root.filePath("file.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QString path(const QString &relative) const { return QDir::cleanPath(dir.path() + u'/' + relative); }

    QTemporaryDir dir;
};

} // namespace

TEST(ItemIdListTest, ComparisonGoesComponentByComponentWithAPrefixFirst)
{
    using Row = std::tuple<QStringList, QStringList, int>;
    const Row rows[] = {
        {{}, {}, 0},
        {{"a"}, {"a"}, 0},
        {{}, {"a"}, -1},
        {{"a"}, {"a", "x"}, -1},
        {{"a", "x"}, {"a b"}, -1}, // a plain path comparison would put "a b" first (' ' < '/')
        {{"B"}, {"a"}, 1},
        {{"A"}, {"a"}, -1},
    };
    for (const auto &[a, b, expected] : rows) {
        EXPECT_EQ(PidlComp(ItemIdList(a), ItemIdList(b)), expected)
            << a.join('/').toStdString() << " vs " << b.join('/').toStdString();
        EXPECT_EQ(PidlComp(ItemIdList(b), ItemIdList(a)), -expected);
    }
}

TEST_F(SHTreeViewTest, RootShowsItsSortedFoldersMarkedWhenTheyHaveSubfoldersAndFilledOnFirstExpand)
{
    TSHTreeView tree(nullptr, dir.path());
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    QTreeWidgetItem *root = tree.topLevelItem(0);
    EXPECT_EQ(root->text(0), QDir::cleanPath(dir.path()));
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(childTexts(root), QStringList({".hidden", "A", "a", "a b", "b", "empty"}));
    QTreeWidgetItem *a = childNamed(root, "a");
    ASSERT_TRUE(a);
    for (auto [name, marked] : {std::pair{"a", true}, {".hidden", true}, {"empty", false}, {"A", false}})
        EXPECT_EQ(childNamed(root, name)->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator, marked) << name;
    EXPECT_EQ(a->childCount(), 0);

    // A folder made after the tree was built still shows: children are read on the expand.
    ASSERT_TRUE(QDir(path("a")).mkdir("new"));
    a->setExpanded(true);
    EXPECT_EQ(childTexts(a), QStringList({"new", "x", "y"}));
    EXPECT_EQ(childNamed(a, "x")->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    a->setExpanded(false);
    a->setExpanded(true);
    EXPECT_EQ(a->childCount(), 3);
}

TEST_F(SHTreeViewTest, SelectingAnExistingFolderExpandsTheWayReportsItsPathAndSurvivesAnUpdate)
{
    TSHTreeView tree(nullptr, dir.path());
    EXPECT_EQ(tree.GetPath(), QString());
    for (const char *target : {"a/x/deep", "a b", "b", ".hidden/inner", "a", ""}) {
        const QString wanted = path(QString::fromUtf8(target));
        EXPECT_TRUE(tree.SetSelected(wanted)) << target;
        EXPECT_EQ(tree.GetPath(), wanted);
    }
    EXPECT_FALSE(tree.isUpdating());

    // Reading the tree again keeps the selected folder and shows new ones.
    ASSERT_TRUE(tree.SetSelected(path("a/x")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("c"));
    tree.UpdateEx();
    EXPECT_EQ(tree.GetPath(), path("a/x"));
    EXPECT_TRUE(childNamed(tree.topLevelItem(0), "c"));
}

TEST_F(SHTreeViewTest, SelectingAMissingFolderFailsAndKeepsTheSelection)
{
    TSHTreeView tree(nullptr, dir.path());
    ASSERT_TRUE(tree.SetSelected(path("a/x/deep")));
    const QString other = QDir(dir.path()).absoluteFilePath("../elsewhere");
    for (const QString &missing : {path("a/x/none"), path("file.txt"), QString(), other, QString("/")})
        EXPECT_FALSE(tree.SetSelected(missing)) << missing.toStdString();
    EXPECT_EQ(tree.GetPath(), path("a/x/deep"));
    // A folder whose path merely begins with the root's path lies outside it.
    TSHTreeView sub(nullptr, path("a"));
    EXPECT_FALSE(sub.SetSelected(path("a b")));
    EXPECT_TRUE(sub.SetSelected(path("a/x")));

    // A folder made after its parent was read has no node until the tree is read again.
    ASSERT_TRUE(QDir(path("a/x")).mkdir("later"));
    EXPECT_FALSE(tree.SetSelected(path("a/x/later")));
    // The first node of a level sorting after the target: nothing before it to descend into.
    ASSERT_TRUE(QDir(dir.path()).mkdir("0first"));
    EXPECT_FALSE(tree.SetSelected(path("0first")));
}

TEST_F(SHTreeViewTest, LongPathsAndNamesAreKeptWhole)
{
    const QString name(80, QChar(u'長'));
    const QString deep = name + u'/' + name + u'/' + name;
    ASSERT_TRUE(QDir(dir.path()).mkpath(deep));
    TSHTreeView tree(nullptr, dir.path());
    ASSERT_TRUE(tree.SetSelected(path(deep)));
    EXPECT_EQ(tree.GetPath(), path(deep));
    EXPECT_EQ(tree.currentItem()->text(0), name);
}
