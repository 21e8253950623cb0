#pragma once
// A small double arrow laid over an end of a chart axis; dragging it reports
// how far the mouse moved since the last report.
#include <QPoint>
#include <QWidget>

class ZoomHandle : public QWidget {
    Q_OBJECT
public:
    ZoomHandle(Qt::Orientation orientation, QWidget* parent);

signals:
    // Pixels moved right (horizontal handle) or down (vertical handle).
    void dragged(int pixels);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Qt::Orientation m_orientation;
    bool m_dragging = false;
    QPoint m_lastPos;
};
