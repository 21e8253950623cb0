#include "app/ToolbarIcons.h"

#include <QPainter>
#include <QPixmap>

namespace {
constexpr int kSize = 16;

void drawSave(QPainter& p) {
    p.setPen(QColor(20, 40, 90));
    p.setBrush(QColor(60, 90, 170));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(3, 9, 9, 5);
}

void drawConfig(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    for (int i = 0; i < 3; ++i)
        p.drawLine(2 + 5 * i, 2, 2 + 5 * i, 13);
    p.setBrush(QColor(220, 120, 30));
    const int knobs[3] = {9, 4, 7};
    for (int i = 0; i < 3; ++i)
        p.drawRect(5 * i, knobs[i], 4, 3);
}

void drawGraphs(QPainter& p) {
    p.setPen(QColor(40, 40, 40));
    p.drawLine(1, 1, 1, 14);
    p.drawLine(1, 14, 14, 14);
    p.setPen(QPen(QColor(200, 30, 30), 1.5));
    p.drawPolyline(QPolygon({QPoint(2, 11), QPoint(5, 8), QPoint(8, 10), QPoint(11, 4), QPoint(14, 6)}));
    p.setPen(QPen(QColor(30, 120, 30), 1.5));
    p.drawPolyline(QPolygon({QPoint(2, 13), QPoint(6, 12), QPoint(10, 9), QPoint(14, 10)}));
}

void drawTree(QPainter& p) {
    p.setPen(QColor(90, 90, 90));
    p.drawLine(3, 4, 3, 12);
    p.drawLine(3, 8, 8, 8);
    p.drawLine(3, 12, 8, 12);
    p.setPen(QColor(30, 60, 120));
    p.setBrush(QColor(250, 210, 80));
    p.drawRect(1, 1, 5, 3);
    p.setBrush(QColor(120, 170, 230));
    p.drawRect(8, 6, 6, 3);
    p.drawRect(8, 10, 6, 3);
}

void drawLimits(QPainter& p) {
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(5.5, 0.5, 4, 11), 2, 2);
    p.setBrush(QColor(210, 30, 30));
    p.drawEllipse(QRectF(4, 9.5, 7, 6));
    p.fillRect(QRectF(6.5, 5, 2, 6), QColor(210, 30, 30));
    p.setPen(QPen(QColor(230, 140, 0), 1));
    p.drawLine(11, 3, 15, 3);
    p.setPen(QPen(QColor(0, 110, 200), 1));
    p.drawLine(11, 8, 15, 8);
}

void drawLog(QPainter& p) {
    p.setPen(QColor(70, 70, 70));
    p.setBrush(Qt::white);
    p.drawRect(2, 1, 11, 14);
    p.setPen(QColor(40, 90, 160));
    for (int y = 4; y <= 12; y += 2)
        p.drawLine(4, y, 11, y);
}
} // namespace

QIcon ToolbarIcon(const QString& key) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (key == "Save")
        drawSave(painter);
    else if (key == "Config")
        drawConfig(painter);
    else if (key == "Graphs")
        drawGraphs(painter);
    else if (key == "Tree")
        drawTree(painter);
    else if (key == "Limits")
        drawLimits(painter);
    else if (key == "Log")
        drawLog(painter);
    painter.end();
    return QIcon(pixmap);
}
