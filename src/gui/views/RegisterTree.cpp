#include "views/RegisterTree.h"

#include "ui/Twips.h"
#include "views/RegisterTreeNodes.h"

#include <QBrush>
#include <QColor>
#include <QHash>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
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

bool RegisterTreeNodeUnfolded(const QTreeWidgetItem* node) {
    for (const QTreeWidgetItem* group = node->parent(); group; group = group->parent())
        if (!group->isExpanded())
            return false;
    return true;
}

QString RegisterTreeFullPath(const QTreeWidgetItem* node) {
    QStringList texts;
    for (const QTreeWidgetItem* n = node; n; n = n->parent())
        texts.prepend(n->text(0));
    return texts.join(kTreePathSeparator);
}

namespace {
constexpr int kNotDefaultRole = kRegisterTreeKeyRole + 1;

QIcon notDefaultMark() {
    // A filled dot, drawn once: no image file to ship for one mark.
    static const QIcon icon = [] {
        QPixmap pixmap(10, 10);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(0xE0, 0x80, 0x00));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(1, 1, 8, 8);
        return QIcon(pixmap);
    }();
    return icon;
}
} // namespace

void MarkRegisterTreeDefault(QTreeWidgetItem* leaf, int value, int defaultValue) {
    if (!leaf)
        return;
    const bool differs = value != defaultValue;
    leaf->setData(0, kNotDefaultRole, differs);
    leaf->setIcon(0, differs ? notDefaultMark() : QIcon());
    leaf->setToolTip(0, differs ? QString("Last read 0x%1, power-on default 0x%2")
                                      .arg(QString::number(value, 16).toUpper(),
                                           QString::number(defaultValue, 16).toUpper())
                                : QString());
}

bool RegisterTreeMarkedNotDefault(const QTreeWidgetItem* leaf) {
    return leaf && leaf->data(0, kNotDefaultRole).toBool();
}
