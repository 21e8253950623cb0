#pragma once
// The register tree's fixed node set, in the order the nodes are added, and the
// rules of a node click. Pure data: no widget inside.
#include <QString>
#include <vector>

struct RegisterTreeNode {
    int level;   // 1 root, 2 group, 3 register leaf
    QString key; // a leaf's key is the Key of its register record
    QString text;
    QString parentKey; // empty for a root
};

struct LevelColour {
    int red;
    int green;
    int blue;
};

const std::vector<RegisterTreeNode>& RegisterTreeNodes();
LevelColour RegisterTreeLevelColour(int level);

constexpr double kRegisterTreeIndentTwips = 200;
inline const QString kTreePathSeparator = QStringLiteral("\\");

// A node's full path has one component per level; only a register leaf has three or more.
bool IsRegisterLeafPath(const QString& fullPath);
