#include "views/AlarmMarks.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

namespace {

const QString kChannelNames[kAlarmChannelCount] = {"Local", "Remote1", "Remote2"};
struct KindLook {
    const char* name;
    QColor colour;
};
const KindLook kKinds[kStatusKindCount] = {{"High", QColor(220, 0, 0)},
                                           {"Low", QColor(0, 90, 230)},
                                           {"THERM", QColor(160, 0, 170)},
                                           {"Open diode", QColor(40, 40, 40)}};
// Four stripes of 4 pixels per channel.
constexpr int kLaneHeight = kAlarmChannelCount * kStatusKindCount * 4;
constexpr int kKeyHeight = 16;
const QString kNotRead = QStringLiteral("not read");

QBrush NotReadBrush() {
    return QBrush(QColor(150, 150, 150), Qt::BDiagPattern);
}

// Draws the runs inside the lane, and under it a key of the colours.
class AlarmLaneMarks : public QCPLayerable {
public:
    AlarmLaneMarks(QCustomPlot* plot, QCPAxisRect* lane, const AlarmHistory& history)
        : QCPLayerable(plot), m_lane(lane), m_history(history) {}

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override { painter->setAntialiasing(false); }
    QRect clipRect() const override { return mParentPlot->viewport(); }

    void draw(QCPPainter* painter) override {
        const QRect area = m_lane->rect();
        // A chart squeezed to its title bar leaves the lane no pixels to paint into.
        if (area.isEmpty())
            return;
        QCPAxis* time = mParentPlot->xAxis;
        const QCPRange visible = time->range();
        // Hatched "not read" everywhere first; a patterned fill is slow, so it is drawn once per lane size.
        if (m_notRead.size() != area.size() * mParentPlot->bufferDevicePixelRatio())
            m_notRead = notReadPicture(area.size());
        painter->drawImage(area.topLeft(), m_notRead);
        const double rowHeight = double(area.height()) / kAlarmChannelCount;
        const double stripeHeight = rowHeight / kStatusKindCount;
        const auto [first, last] = m_history.runsIn(visible.lower, visible.upper);
        for (auto run = first; run != last; ++run) {
            const int left = std::max(area.left(), int(std::floor(time->coordToPixel(run->start))));
            const int right = std::min(area.right() + 1, int(std::ceil(time->coordToPixel(run->end))));
            // A single read still shows: at least one pixel wide.
            const int width = std::max(1, right - left);
            painter->fillRect(QRect(left, area.top(), width, area.height()), Qt::white);
            for (int channel = 0; channel < kAlarmChannelCount; ++channel)
                for (int kind = 0; kind < kStatusKindCount; ++kind)
                    if (AlarmSet(run->bits, channel, StatusKind(kind))) {
                        const int top =
                            area.top() + int(std::round(channel * rowHeight + kind * stripeHeight));
                        const int bottom =
                            area.top() + int(std::round(channel * rowHeight + (kind + 1) * stripeHeight));
                        painter->fillRect(QRect(left, top, width, std::max(1, bottom - top)),
                                          kKinds[kind].colour);
                    }
        }
        painter->setPen(QPen(Qt::gray, 1));
        for (int channel = 1; channel < kAlarmChannelCount; ++channel) {
            const int y = area.top() + int(std::round(channel * rowHeight));
            painter->drawLine(QLineF(area.left(), y, area.right(), y));
        }
        painter->drawRect(area.adjusted(0, 0, -1, -1));
        // The key never changes: drawn once into a picture, as text costs more than the marks.
        if (m_key.isNull())
            m_key = keyPicture();
        painter->drawImage(QPoint(area.left(), area.bottom() + 4), m_key);
    }

private:
    QImage notReadPicture(QSize size) const {
        const qreal ratio = mParentPlot->bufferDevicePixelRatio();
        QImage picture(size * ratio, QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(ratio);
        picture.fill(QColor(235, 235, 235));
        QPainter painter(&picture);
        painter.fillRect(QRect(QPoint(0, 0), size), NotReadBrush());
        return picture;
    }

    QImage keyPicture() const {
        const QFont font = mParentPlot->font();
        const QFontMetrics metrics(font);
        const int box = metrics.ascent() - 2;
        int width = 0;
        for (const KindLook& kind : kKinds)
            width += box + 4 + metrics.horizontalAdvance(kind.name) + 12;
        width += box + 4 + metrics.horizontalAdvance(kNotRead);
        const qreal ratio = mParentPlot->bufferDevicePixelRatio();
        QImage key(QSize(width + 1, kKeyHeight) * ratio, QImage::Format_ARGB32_Premultiplied);
        key.setDevicePixelRatio(ratio);
        key.fill(Qt::transparent);
        QPainter painter(&key);
        painter.setFont(font);
        int x = 0;
        auto entry = [&](const QBrush& brush, const QString& text) {
            const QRect swatch(x, 2, box, box);
            painter.fillRect(swatch, Qt::white);
            painter.fillRect(swatch, brush);
            painter.setPen(QPen(Qt::gray, 1));
            painter.drawRect(swatch);
            painter.setPen(Qt::black);
            painter.drawText(x + box + 4, 2 + box, text);
            x += box + 4 + metrics.horizontalAdvance(text) + 12;
        };
        for (const KindLook& kind : kKinds)
            entry(kind.colour, kind.name);
        entry(NotReadBrush(), kNotRead);
        return key;
    }

    QCPAxisRect* m_lane;
    const AlarmHistory& m_history;
    QImage m_key;
    QImage m_notRead;
};

} // namespace

AlarmMarks::AlarmMarks(QCustomPlot* plot)
    : QObject(plot), m_plot(plot), m_lane(new QCPAxisRect(plot, false)), m_margins(new QCPMarginGroup(plot)) {
    QCPAxis* channels = m_lane->addAxis(QCPAxis::atLeft);
    auto ticker = QSharedPointer<QCPAxisTickerText>::create();
    // Local on top, as in the limits window.
    for (int channel = 0; channel < kAlarmChannelCount; ++channel)
        ticker->addTick(kAlarmChannelCount - channel - 0.5, kChannelNames[channel]);
    channels->setTicker(ticker);
    channels->setRange(0, kAlarmChannelCount);
    channels->setTickLength(0, 0);
    channels->setSubTicks(false);
    channels->grid()->setVisible(false);
    m_lane->setMinimumMargins(QMargins(15, 4, 15, kKeyHeight + 4));
    m_lane->setMinimumSize(0, kLaneHeight);
    m_lane->setMaximumSize(QWIDGETSIZE_MAX, kLaneHeight);
    m_marks = new AlarmLaneMarks(plot, m_lane, m_history);
    m_marks->setVisible(false);
    // Kept out of the layout until switched on: the chart looks as it always did.
    m_lane->setVisible(false);
}

void AlarmMarks::addRead(double key, uint8_t status1, uint8_t status2) {
    m_history.addRead(key, AlarmBitsOf(status1, status2));
    if (m_shown)
        m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void AlarmMarks::setShown(bool shown) {
    if (shown == m_shown)
        return;
    m_shown = shown;
    QCPLayoutGrid* layout = m_plot->plotLayout();
    QCPAxisRect* temperatures = m_plot->axisRect();
    const QCP::MarginSides sides = QCP::msLeft | QCP::msRight;
    if (shown) {
        layout->addElement(layout->rowCount(), 0, m_lane);
        temperatures->setMarginGroup(sides, m_margins);
        m_lane->setMarginGroup(sides, m_margins);
    } else {
        temperatures->setMarginGroup(sides, nullptr);
        m_lane->setMarginGroup(sides, nullptr);
        layout->take(m_lane);
        layout->simplify();
    }
    m_lane->setVisible(shown);
    m_marks->setVisible(shown);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}
