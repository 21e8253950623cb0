#pragma once
// Fills the register map window's tree of register groups.
#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

// The item data role that holds a node's key.
constexpr int kRegisterTreeKeyRole = 0x0100; // Qt::UserRole

// Clears the tree and adds the fixed nodes in order, each coloured by its level.
void BuildRegisterTree(QTreeWidget* tree);
QString RegisterTreeNodeKey(const QTreeWidgetItem* node);
// The register leaf with the key, or null when no leaf has it.
QTreeWidgetItem* RegisterTreeLeaf(const QTreeWidget* tree, const QString& key);
// Whether every group above the node is expanded, so the node can be seen.
bool RegisterTreeNodeUnfolded(const QTreeWidgetItem* node);
// The display texts from the root down to the node, joined with "\".
QString RegisterTreeFullPath(const QTreeWidgetItem* node);
// Marks the register's leaf beside its name while the value last read differs from
// the power-on default (the specified colours stay as they are).
void MarkRegisterTreeDefault(QTreeWidgetItem* leaf, int value, int defaultValue);
// Whether the leaf carries that mark.
bool RegisterTreeMarkedNotDefault(const QTreeWidgetItem* leaf);
