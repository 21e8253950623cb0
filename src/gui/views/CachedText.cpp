#include "views/CachedText.h"

#include <cmath>

namespace {
// Room around the box for glyphs that reach past their advance (bold, italic).
constexpr int kOverhang = 4;

// A plottable draws its own legend icon, for its legend items only: this opens that call to ours.
struct LegendIcon : QCPAbstractPlottable {
    using QCPAbstractPlottable::drawLegendIcon;
};

bool DrawsFromCache(const QCPPainter* painter) {
    return !painter->modes().testFlag(QCPPainter::pmVectorized) &&
           !painter->modes().testFlag(QCPPainter::pmNoCaching);
}
} // namespace

QRect CachedText::boundingRect(const QFont& font, const QPaintDevice* device, const QRect& box, int flags,
                               const QString& text) {
    if (!m_measured || m_measured->font != font || m_measured->box != box || m_measured->flags != flags ||
        m_measured->text != text) {
        const QFontMetrics metrics = device ? QFontMetrics(font, device) : QFontMetrics(font);
        m_measured = Measured{font, box, flags, text, metrics.boundingRect(box, flags, text)};
    }
    return m_measured->bounding;
}

void CachedText::draw(QCPPainter* painter, const QRect& box, int flags, const QString& text) {
    const QTransform transform = painter->transform();
    if (transform.type() > QTransform::TxTranslate) {
        painter->drawText(box, flags, text);
        return;
    }
    // An antialiased element moves the painter by half a pixel: the image is drawn with that fraction and put
    // down on whole pixels, so its glyphs land where drawText would put them.
    const QPointF whole(std::floor(transform.dx()), std::floor(transform.dy()));
    const QPointF fraction = QPointF(transform.dx(), transform.dy()) - whole;
    const QPaintDevice* device = painter->device();
    const qreal ratio = device->devicePixelRatioF();
    const QColor colour = painter->pen().color();
    if (m_image.isNull() || m_text != text || m_font != painter->font() || m_colour != colour ||
        m_size != box.size() || m_flags != flags || m_fraction != fraction ||
        m_image.devicePixelRatio() != ratio || m_image.logicalDpiY() != device->logicalDpiY()) {
        const QSize padded = box.size() + QSize(2 * kOverhang, 2 * kOverhang);
        m_image = QImage(padded * ratio, QImage::Format_ARGB32_Premultiplied);
        m_image.setDevicePixelRatio(ratio);
        // The same dots per inch as the chart, so a point size gives the same pixels.
        m_image.setDotsPerMeterX(qRound(device->logicalDpiX() / 0.0254));
        m_image.setDotsPerMeterY(qRound(device->logicalDpiY() / 0.0254));
        m_image.fill(Qt::transparent);
        QPainter image(&m_image);
        image.translate(fraction);
        image.setFont(painter->font());
        image.setPen(painter->pen());
        image.drawText(QRect(QPoint(kOverhang, kOverhang), box.size()), flags, text);
        m_text = text;
        m_font = painter->font();
        m_colour = colour;
        m_size = box.size();
        m_flags = flags;
        m_fraction = fraction;
    }
    painter->setTransform(QTransform::fromTranslate(whole.x(), whole.y()));
    painter->drawImage(box.topLeft() - QPoint(kOverhang, kOverhang), m_image);
    painter->setTransform(transform);
}

// As QCustomPlot draws a plottable's legend line, with the caption from the cache.
void CachedLegendItem::draw(QCPPainter* painter) {
    if (!mPlottable || !DrawsFromCache(painter)) {
        QCPPlottableLegendItem::draw(painter);
        return;
    }
    painter->setFont(getFont());
    painter->setPen(QPen(getTextColor()));
    const QSize iconSize = mParentLegend->iconSize();
    const QRect textRect =
        m_caption.boundingRect(getFont(), painter->device(), QRect(0, 0, 0, iconSize.height()),
                               Qt::TextDontClip, mPlottable->name());
    const QRect iconRect(mRect.topLeft(), iconSize);
    const int textHeight = qMax(textRect.height(), iconSize.height());
    m_caption.draw(painter,
                   QRect(mRect.x() + iconSize.width() + mParentLegend->iconTextPadding(), mRect.y(),
                         textRect.width(), textHeight),
                   Qt::TextDontClip, mPlottable->name());
    painter->save();
    painter->setClipRect(iconRect, Qt::IntersectClip);
    (mPlottable->*(&LegendIcon::drawLegendIcon))(painter, iconRect);
    painter->restore();
    if (getIconBorderPen().style() != Qt::NoPen) {
        painter->setPen(getIconBorderPen());
        painter->setBrush(Qt::NoBrush);
        const int halfPen = qCeil(painter->pen().widthF() * 0.5) + 1;
        painter->setClipRect(mOuterRect.adjusted(-halfPen, -halfPen, halfPen, halfPen));
        painter->drawRect(iconRect);
    }
}

QSize CachedLegendItem::minimumOuterSizeHint() const {
    if (!mPlottable)
        return {};
    const QSize iconSize = mParentLegend->iconSize();
    const QRect textRect = m_caption.boundingRect(getFont(), nullptr, QRect(0, 0, 0, iconSize.height()),
                                                  Qt::TextDontClip, mPlottable->name());
    return {iconSize.width() + mParentLegend->iconTextPadding() + textRect.width() + mMargins.left() +
                mMargins.right(),
            qMax(textRect.height(), iconSize.height()) + mMargins.top() + mMargins.bottom()};
}

// As QCustomPlot draws a text element, with the text from the cache.
void CachedTextElement::draw(QCPPainter* painter) {
    if (!DrawsFromCache(painter)) {
        QCPTextElement::draw(painter);
        return;
    }
    painter->setFont(mainFont());
    painter->setPen(QPen(mainTextColor()));
    mTextBoundingRect = m_shown.boundingRect(mainFont(), painter->device(), mRect, mTextFlags, mText);
    m_shown.draw(painter, mRect, mTextFlags, mText);
}

QSize CachedTextElement::textSize() const {
    return m_text.boundingRect(mFont, nullptr, QRect(0, 0, 0, 0), Qt::TextDontClip, mText).size();
}

QSize CachedTextElement::minimumOuterSizeHint() const {
    return textSize() + QSize(mMargins.left() + mMargins.right(), mMargins.top() + mMargins.bottom());
}

QSize CachedTextElement::maximumOuterSizeHint() const {
    return {QWIDGETSIZE_MAX, textSize().height() + mMargins.top() + mMargins.bottom()};
}
