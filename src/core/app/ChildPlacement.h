#pragma once
// Where a child window opens in the main window's client area. Pure: no widget inside.
#include <QPoint>
#include <QRect>
#include <QSize>

// The window's position (pixels, client-area coordinates) moved just far enough to
// lie fully inside the area; where it is larger than the area it starts at the
// area's left or top edge and the rest is reached by scrolling. A window that
// already lies inside keeps its position.
QPoint ChildWindowPosition(QSize area, QRect window);
