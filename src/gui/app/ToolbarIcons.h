#pragma once
// The toolbar's 16 x 16 icons, drawn by the program itself.
#include <QIcon>
#include <QString>

// The icon of a toolbar key ("Save", "Config", "Graphs", "Tree", "Limits", "Log").
QIcon ToolbarIcon(const QString& key);
