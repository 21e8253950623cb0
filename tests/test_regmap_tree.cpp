#include "support/RegMapWindowFixture.h"
#include "ui/Twips.h"
#include "views/RegisterTree.h"
#include "views/RegisterTreeNodes.h"

#include <QSet>
#include <QTreeWidgetItemIterator>

namespace {
// The register table records behind the leaves, in tree order.
const std::vector<int> kLeafRecords = {5,  29, 6,  26, 4,  28, 27, 39, 40, 1,  7,  8,  25, 2,  13, 9,
                                       19, 11, 21, 23, 15, 17, 30, 33, 31, 36, 32, 37, 38, 34, 35};

std::vector<QTreeWidgetItem*> allItems(QTreeWidget* tree) {
    std::vector<QTreeWidgetItem*> items;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        items.push_back(*it);
    return items;
}

int levelOf(const QTreeWidgetItem* item) {
    int level = 1;
    for (const QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        ++level;
    return level;
}

QTreeWidgetItem* itemAt(QTreeWidget* tree, const QStringList& path) {
    for (QTreeWidgetItem* item : allItems(tree))
        if (RegisterTreeFullPath(item) == path.join("\\"))
            return item;
    ADD_FAILURE() << "no node " << path.join("\\").toStdString();
    return nullptr;
}
} // namespace

TEST(RegisterTreeNodes, LeavesAreTheRegisterRecordsInOrder) {
    RegMapStuff::BuildRegisterTable();
    std::vector<int> records;
    for (const RegisterTreeNode& node : RegisterTreeNodes())
        if (node.level == 3)
            records.push_back(RegMapStuff::FindRegisterByKey(node.key));
    EXPECT_EQ(RegisterTreeNodes().size(), 46u);
    EXPECT_EQ(records, kLeafRecords);
}

TEST(RegisterTreeNodes, EveryNodeHangsUnderAnEarlierNodeOneLevelUp) {
    QHash<QString, int> levelOfKey;
    for (const RegisterTreeNode& node : RegisterTreeNodes()) {
        SCOPED_TRACE(node.key.toStdString());
        EXPECT_FALSE(levelOfKey.contains(node.key)) << "keys are unique";
        if (node.level == 1)
            EXPECT_TRUE(node.parentKey.isEmpty());
        else
            EXPECT_EQ(levelOfKey.value(node.parentKey, -1), node.level - 1);
        levelOfKey.insert(node.key, node.level);
    }
}

TEST(RegisterTreeNodes, OnlyThreePartPathsAreLeaves) {
    const struct {
        QString path;
        bool leaf;
    } cases[] = {
        {"General", false},
        {"General\\Configuration", false},
        {"General\\Configuration\\Configuration Reg 1", true},
        {"Remote2 Registers\\Limits\\THERM Limit", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(IsRegisterLeafPath(c.path), c.leaf);
    }
}

TEST(BuildRegisterTree, AddsColouredNodesWithKeysAndNoImages) {
    QTreeWidget tree;
    BuildRegisterTree(&tree);
    // A second build starts from an empty tree instead of adding to it.
    BuildRegisterTree(&tree);

    const std::vector<QTreeWidgetItem*> items = allItems(&tree);
    ASSERT_EQ(items.size(), RegisterTreeNodes().size());
    EXPECT_EQ(tree.topLevelItemCount(), 4);
    EXPECT_EQ(tree.indentation(), Px(200));
    const QColor colours[] = {QColor(0, 128, 0), QColor(192, 0, 0), QColor(0, 0, 192)};
    int leaves = 0;
    for (size_t n = 0; n < items.size(); ++n) {
        const RegisterTreeNode& node = RegisterTreeNodes()[n];
        SCOPED_TRACE(node.key.toStdString());
        EXPECT_EQ(items[n]->text(0), node.text);
        EXPECT_EQ(RegisterTreeNodeKey(items[n]), node.key);
        EXPECT_EQ(levelOf(items[n]), node.level);
        EXPECT_EQ(items[n]->foreground(0).color(), colours[node.level - 1]);
        EXPECT_TRUE(items[n]->icon(0).isNull());
        leaves += items[n]->childCount() == 0;
    }
    EXPECT_EQ(leaves, 31);
}

TEST_F(RegMapWindowTest, TreeOpensWithOnlyGeneralExpanded) {
    for (QTreeWidgetItem* item : allItems(tree())) {
        SCOPED_TRACE(item->text(0).toStdString());
        EXPECT_EQ(item->isExpanded(), item->text(0) == "General");
    }
    EXPECT_FALSE(tree()->visualItemRect(itemAt(tree(), {"General", "Status"})).isEmpty());
    EXPECT_TRUE(tree()->visualItemRect(itemAt(tree(), {"General", "Status", "Status Reg 1"})).isEmpty());
}

struct LeafClick {
    QStringList path;
    QString description;
    int32_t readAddress;
    QString writeAddrBox;
};

TEST_F(RegMapWindowTest, LeafClickShowsItsRegister) {
    const LeafClick cases[] = {
        {{"Local Registers", "Temperature", "Value"}, "Local Temp Value", 0x00, "0h"},
        {{"Remote1 Registers", "Temperature", "Value(High Byte)"},
         "Remote 1 Temp High Byte (bit 3 Config Reg =0)",
         0x01,
         "0h"},
        {{"Remote2 Registers", "Temperature", "Value(High Byte)"}, "Remote 2 Temp High Byte", 0x30, "0h"},
        {{"Remote2 Registers", "Limits", "THERM Limit"}, "Remote 2 Therm Limit", 0x39, "39h"},
        {{"General", "Configuration", "Configuration Reg 1"}, "Configuration Reg 1", 0x03, "9h"},
    };
    for (const LeafClick& c : cases) {
        SCOPED_TRACE(c.path.join("\\").toStdString());
        QTreeWidgetItem* leaf = itemAt(tree(), c.path);
        ASSERT_NE(leaf, nullptr);
        tree()->scrollToItem(leaf); // expands the leaf's parents, as a user opening them would
        adapter->setRegister(kChip, c.readAddress, 0x3C);
        adapter->clearLog();

        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(leaf).center());

        EXPECT_EQ(adapter->reads(), std::vector<int32_t>{c.readAddress});
        EXPECT_EQ(text("lblRegDescription"), c.description);
        EXPECT_EQ(text("lblCurrentAddr"), QString::number(c.readAddress, 16).toUpper() + "h");
        EXPECT_EQ(text("txtWriteAddr"), c.writeAddrBox);
        EXPECT_EQ(text("lblHexVal"), "3CH");
    }
}

TEST_F(RegMapWindowTest, EveryLeafShowsTheRecordOfItsKey) {
    for (QTreeWidgetItem* item : allItems(tree())) {
        if (levelOf(item) != 3)
            continue;
        SCOPED_TRACE(RegisterTreeFullPath(item).toStdString());
        const RegisterRecord& record =
            RegMapStuff::RegisterTable[RegMapStuff::FindRegisterByKey(RegisterTreeNodeKey(item))];
        adapter->clearLog();
        window->TreeView1_NodeClick(item);
        EXPECT_EQ(adapter->reads(), std::vector<int32_t>{record.ReadAddr});
        EXPECT_EQ(text("lblRegDescription"), record.Description);
    }
}

TEST_F(RegMapWindowTest, GroupAndRootClicksChangeNothing) {
    const QStringList before = shownLabels();
    for (const QStringList& path :
         {QStringList{"General"}, QStringList{"General", "Configuration"}, QStringList{"General", "Status"},
          QStringList{"Local Registers"}, QStringList{"Remote2 Registers", "Offset"}}) {
        SCOPED_TRACE(path.join("\\").toStdString());
        QTreeWidgetItem* node = itemAt(tree(), path);
        ASSERT_NE(node, nullptr);
        tree()->scrollToItem(node);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(node).center());
        EXPECT_TRUE(adapter->requests.empty());
        EXPECT_EQ(shownLabels(), before);
    }
}

TEST_F(RegMapWindowTest, ReopenedWindowHasTheSameTree) {
    tree()->expandAll();
    window->close();
    openWindow();
    EXPECT_EQ(allItems(tree()).size(), RegisterTreeNodes().size());
    EXPECT_EQ(tree()->topLevelItemCount(), 4);
    EXPECT_FALSE(itemAt(tree(), {"Local Registers"})->isExpanded());
    EXPECT_TRUE(GeneralStuff::RegMapOpen);
    EXPECT_EQ(text("lblRegDescription"), "Description");
}

namespace {
QStringList expandedNodes(QTreeWidget* tree) {
    QStringList expanded;
    for (QTreeWidgetItem* item : allItems(tree))
        if (item->isExpanded())
            expanded << RegisterTreeFullPath(item);
    return expanded;
}
} // namespace

// After a Read the tree marks the register the details show, whichever node was clicked before; only the
// user folds and unfolds the tree, so a node in a folded branch is marked without opening it.
TEST_F(RegMapWindowTest, ReadSelectsTheNodeOfTheRegisterReadWithoutUnfoldingTheTree) {
    const struct {
        const char* typed;
        QStringList path;     // empty: no node is selected
        QStringList unfolded; // what the user opened before the Read, below the root given first
    } rows[] = {
        {"5", {"Local Registers", "Limits", "High Limit"}, {}},
        {"1",
         {"Remote1 Registers", "Temperature", "Value(High Byte)"},
         {}}, // the shared address's Remote1 record
        {"39", {"Remote2 Registers", "Limits", "THERM Limit"}, {"Remote2 Registers"}}, // its group stays shut
        {"3", {"General", "Configuration", "Configuration Reg 1"}, {"General", "Configuration"}}, // in view
        {"50", {}, {}}, // in no record
    };
    QTreeWidgetItem* clicked = itemAt(tree(), {"General", "Status", "Status Reg 1"});
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        for (int depth = 1; depth <= row.unfolded.size(); ++depth)
            itemAt(tree(), row.unfolded.mid(0, depth))->setExpanded(true);
        tree()->setCurrentItem(clicked);
        const QStringList expandedBefore = expandedNodes(tree());
        readAddress(row.typed);
        EXPECT_EQ(expandedNodes(tree()), expandedBefore);
        if (row.path.isEmpty()) {
            EXPECT_EQ(tree()->currentItem(), nullptr);
            EXPECT_TRUE(tree()->selectedItems().isEmpty());
            continue;
        }
        QTreeWidgetItem* expected = itemAt(tree(), row.path);
        ASSERT_NE(expected, nullptr);
        EXPECT_EQ(tree()->currentItem(), expected);
        EXPECT_EQ(tree()->selectedItems(), QList<QTreeWidgetItem*>{expected});
        EXPECT_EQ(tree()->visualItemRect(expected).isEmpty(), row.unfolded.size() < 2);
    }
}
