#pragma once
// Chart texts laid out once and reused: the chart redraws many times a second, and
// laying out a line of text costs more than drawing the rest of its legend line.
// Exports (vector output, uncached pictures) keep QCustomPlot's own drawing.
#include <qcustomplot.h>

// One text drawn into a transparent image, kept while its text, font, colour, box and
// pixel density stay; its bounding box measured once while text, font and box stay.
class CachedText {
public:
    // As QFontMetrics(font, device) measures it; no device: the screen's.
    QRect boundingRect(const QFont& font, const QPaintDevice* device, const QRect& box, int flags,
                       const QString& text);
    // Draws with the painter's font and pen, as QPainter::drawText(box, flags, text) would.
    void draw(QCPPainter* painter, const QRect& box, int flags, const QString& text);

private:
    struct Measured {
        QFont font;
        QRect box;
        int flags = 0;
        QString text;
        QRect bounding;
    };
    std::optional<Measured> m_measured;
    QImage m_image;
    QFont m_font;
    QColor m_colour;
    QSize m_size;
    int m_flags = 0;
    QPointF m_fraction;
    QString m_text;
};

// The legend line of a plottable, its caption drawn from a CachedText.
class CachedLegendItem : public QCPPlottableLegendItem {
public:
    using QCPPlottableLegendItem::QCPPlottableLegendItem;

protected:
    void draw(QCPPainter* painter) override;
    QSize minimumOuterSizeHint() const override;

private:
    mutable CachedText m_caption;
};

// A text element (the legend's heading) measured once for the layout of every redraw and drawn from a
// CachedText.
class CachedTextElement : public QCPTextElement {
public:
    using QCPTextElement::QCPTextElement;

protected:
    void draw(QCPPainter* painter) override;
    QSize minimumOuterSizeHint() const override;
    QSize maximumOuterSizeHint() const override;

private:
    QSize textSize() const;
    mutable CachedText m_text;
    CachedText m_shown; // measured in the element's box, as QCustomPlot measures it for clicks
};
