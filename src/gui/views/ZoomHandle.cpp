#include "views/ZoomHandle.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

namespace {
constexpr int kHandleLength = 18;
constexpr int kHandleThickness = 12;
} // namespace

ZoomHandle::ZoomHandle(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), m_orientation(orientation) {
    if (orientation == Qt::Horizontal) {
        setFixedSize(kHandleLength, kHandleThickness);
        setCursor(Qt::SizeHorCursor);
    } else {
        setFixedSize(kHandleThickness, kHandleLength);
        setCursor(Qt::SizeVerCursor);
    }
}

void ZoomHandle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 60, 60));
    // Two arrow heads pointing apart, drawn for the horizontal case and turned for the vertical one.
    if (m_orientation == Qt::Vertical) {
        painter.translate(width(), 0);
        painter.rotate(90);
    }
    const int l = kHandleLength;
    const int t = kHandleThickness;
    painter.drawPolygon(QPolygon({QPoint(0, t / 2), QPoint(l / 2 - 1, 0), QPoint(l / 2 - 1, t)}));
    painter.drawPolygon(QPolygon({QPoint(l, t / 2), QPoint(l / 2 + 1, 0), QPoint(l / 2 + 1, t)}));
}

void ZoomHandle::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_lastPos = event->globalPosition().toPoint();
}

void ZoomHandle::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging)
        return;
    const QPoint pos = event->globalPosition().toPoint();
    const int pixels = m_orientation == Qt::Horizontal ? pos.x() - m_lastPos.x() : pos.y() - m_lastPos.y();
    m_lastPos = pos;
    if (pixels != 0)
        emit dragged(pixels);
}

void ZoomHandle::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}
