#pragma once
// The chart's overlays drawn the cheap way, since they are drawn on every update:
// a text box from a picture made again only when its text changes (shaping several
// lines of text costs more than the traces), and a level or upright dashed line
// drawn from a strip of pixels made once per length (a dashed pen goes through the
// slow stroker).
#include <qcustomplot.h>

#include <QImage>

class CachedTextItem : public QCPItemText {
public:
    explicit CachedTextItem(QCustomPlot* plot) : QCPItemText(plot) {}

protected:
    void draw(QCPPainter* painter) override;

private:
    QString m_drawnText;
    QRect m_boxRect;
    QImage m_picture;
};

class DashedStraightLine : public QCPItemStraightLine {
public:
    explicit DashedStraightLine(QCustomPlot* plot) : QCPItemStraightLine(plot) {}

protected:
    void draw(QCPPainter* painter) override;

private:
    QPen m_drawnPen;
    QImage m_picture;
};
