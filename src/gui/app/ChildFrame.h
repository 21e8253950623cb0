#pragma once
// The frame of a child window in the main window. Cascade sizes each frame to its size hint and Tile to a
// share of the area; here the hint is the size the window loaded with, and no arrangement or drag makes a
// frame smaller than its content needs, or changes the size of a window whose size is fixed.
#include <QMdiSubWindow>

class ChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    using QMdiSubWindow::QMdiSubWindow;

    // Once the window has loaded and taken its size.
    void keepLoadedSize();
    QSize sizeHint() const override;

private:
    QSize m_loadedSize;
};
