#include "views/RegisterTree.h"

#include "ui/Twips.h"
#include "views/RegisterTreeNodes.h"

#include <QBrush>
#include <QColor>
#include <QHash>
#include <QStringList>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

static_assert(kRegisterTreeKeyRole == Qt::UserRole);

void BuildRegisterTree(QTreeWidget* tree) {
    tree->clear();
    tree->setIndentation(Px(kRegisterTreeIndentTwips));
    QHash<QString, QTreeWidgetItem*> byKey;
    for (const RegisterTreeNode& node : RegisterTreeNodes()) {
        auto* item = node.parentKey.isEmpty() ? new QTreeWidgetItem(tree)
                                              : new QTreeWidgetItem(byKey.value(node.parentKey));
        item->setText(0, node.text);
        item->setData(0, kRegisterTreeKeyRole, node.key);
        const LevelColour colour = RegisterTreeLevelColour(node.level);
        item->setForeground(0, QBrush(QColor(colour.red, colour.green, colour.blue)));
        byKey.insert(node.key, item);
    }
}

QString RegisterTreeNodeKey(const QTreeWidgetItem* node) {
    return node->data(0, kRegisterTreeKeyRole).toString();
}

QTreeWidgetItem* RegisterTreeLeaf(const QTreeWidget* tree, const QString& key) {
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(tree), QTreeWidgetItemIterator::NoChildren); *it;
         ++it)
        if (RegisterTreeNodeKey(*it) == key)
            return *it;
    return nullptr;
}

QString RegisterTreeFullPath(const QTreeWidgetItem* node) {
    QStringList texts;
    for (const QTreeWidgetItem* n = node; n; n = n->parent())
        texts.prepend(n->text(0));
    return texts.join(kTreePathSeparator);
}
