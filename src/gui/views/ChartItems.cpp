#include "views/ChartItems.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

// The box as QCPItemText draws it: text rectangle, padding, pen and brush; rotation is not used here.
void CachedTextItem::draw(QCPPainter* painter) {
    if (m_picture.isNull() || m_drawnText != mText) {
        const int flags = Qt::TextDontClip | int(mTextAlignment);
        const QRect measured = QFontMetrics(mainFont()).boundingRect(0, 0, 0, 0, flags, mText);
        const QRect textRect =
            measured.translated(-measured.topLeft() + QPoint(mPadding.left(), mPadding.top()));
        m_boxRect = QRect(0, 0, textRect.width() + mPadding.left() + mPadding.right(),
                          textRect.height() + mPadding.top() + mPadding.bottom());
        const qreal ratio = mParentPlot->bufferDevicePixelRatio();
        m_picture = QImage((m_boxRect.size() + QSize(1, 1)) * ratio, QImage::Format_ARGB32_Premultiplied);
        m_picture.setDevicePixelRatio(ratio);
        m_picture.fill(Qt::transparent);
        QPainter picture(&m_picture);
        picture.setPen(mainPen());
        picture.setBrush(mainBrush());
        picture.drawRect(m_boxRect);
        picture.setFont(mainFont());
        picture.setPen(mainColor());
        picture.drawText(textRect, flags, mText);
        m_drawnText = mText;
    }
    const QPointF corner = getTextDrawPoint(position->pixelPosition(), m_boxRect, mPositionAlignment);
    painter->drawImage(corner.toPoint(), m_picture);
}

void DashedStraightLine::draw(QCPPainter* painter) {
    const QCPVector2D start(point1->pixelPosition());
    const QCPVector2D direction = QCPVector2D(point2->pixelPosition()) - start;
    const QLineF line = getRectClippedStraightLine(start, direction, clipRect());
    const bool horizontal = std::abs(line.dy()) < 0.5;
    const bool vertical = std::abs(line.dx()) < 0.5;
    const QPen pen = mainPen();
    if (line.isNull() || !(horizontal || vertical) || pen.widthF() > 1 || pen.dashPattern().isEmpty()) {
        QCPItemStraightLine::draw(painter);
        return;
    }
    const int length = int(std::lround(line.length()));
    const qreal ratio = mParentPlot->bufferDevicePixelRatio();
    const QSize size = horizontal ? QSize(length, 1) : QSize(1, length);
    if (m_picture.size() != size * ratio || m_drawnPen != pen) {
        m_picture = QImage(size * ratio, QImage::Format_ARGB32_Premultiplied);
        m_picture.setDevicePixelRatio(ratio);
        m_picture.fill(Qt::transparent);
        // The pen's pattern in pixels, dash then gap, from the start of the line.
        const QList<qreal> pattern = pen.dashPattern();
        const QRgb colour = pen.color().rgba();
        int piece = 0;
        qreal pieceEnd = pattern[0];
        for (int at = 0; at < length * ratio; ++at) {
            while (at / ratio >= pieceEnd) {
                piece = (piece + 1) % pattern.size();
                pieceEnd += pattern[piece];
            }
            if (piece % 2 == 0)
                m_picture.setPixel(horizontal ? at : 0, horizontal ? 0 : at, colour);
        }
        m_drawnPen = pen;
    }
    const QPointF from(std::min(line.x1(), line.x2()), std::min(line.y1(), line.y2()));
    painter->drawImage(QPoint(int(std::floor(from.x())), int(std::floor(from.y()))), m_picture);
}
