#include "views/TempGauge.h"

#include "device/NumberText.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <cmath>

namespace {
// Columns, in pixels from the left edge: labels, graduation ticks, the tube, then
// the low/high sliders and, in a column of its own, THERM (it often equals high).
constexpr int kLabelRight = 21;
constexpr int kTubeLeft = 29;
constexpr int kTubeWidth = 9;
constexpr int kSliderLeft = kTubeLeft + kTubeWidth + 1;
constexpr int kThermLeft = kSliderLeft + 15;
constexpr int kSliderWidth = 13;
constexpr int kSliderHalfHeight = 5;
constexpr int kScaleMargin = kSliderHalfHeight + 3;
constexpr int kMinorTicksPerStep = 4;

const QColor kLowColour(30, 100, 210);
const QColor kHighColour(230, 120, 0);
const QColor kThermColour(200, 0, 60);
const QColor kBarColour(220, 40, 40);

QString sliderName(TempGauge::Slider slider) {
    switch (slider) {
    case TempGauge::LowSlider:
        return "Low";
    case TempGauge::HighSlider:
        return "High";
    case TempGauge::ThermSlider:
        return "THERM";
    }
    return {};
}
} // namespace

TempGauge::TempGauge(int index, QWidget* parent) : QWidget(parent), m_index(index) {
    setFocusPolicy(Qt::StrongFocus);
    setToolTip("Drag the sliders to change the limits");
}

void TempGauge::setScaleMinimum(double minimum) {
    m_minimum = minimum;
    update();
}

// The limits window sets every reading five times a second; a gauge repaints only when it would look
// different.
void TempGauge::setTemperature(double temperature) {
    if (temperature == m_temperature)
        return;
    m_temperature = temperature;
    update();
}

void TempGauge::setCaption(const QString& caption) {
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void TempGauge::setLimit(Slider slider, double value) {
    m_limits[slider] = value;
    update();
}

QSize TempGauge::sizeHint() const {
    return {72, 249};
}

int TempGauge::captionHeight() const {
    return fontMetrics().height() + 4;
}

GaugeScale TempGauge::scale() const {
    return {m_minimum, kScaleMaximum, kScaleMargin, height() - captionHeight() - kScaleMargin};
}

QRect TempGauge::tubeRect() const {
    const GaugeScale s = scale();
    return QRect(kTubeLeft, s.top - 3, kTubeWidth, s.bottom - s.top + 6);
}

QPolygonF TempGauge::sliderShape(Slider slider) const {
    const double y = scale().yOf(m_limits[slider]);
    const double h = kSliderHalfHeight;
    switch (slider) {
    case LowSlider: { // a triangle pointing at the tube
        const double x = kSliderLeft;
        return QPolygonF({{x, y}, {x + kSliderWidth, y - h}, {x + kSliderWidth, y + h}});
    }
    case HighSlider: { // a tag: square body with a point towards the tube
        const double x = kSliderLeft;
        return QPolygonF(
            {{x, y}, {x + 5, y - h}, {x + kSliderWidth, y - h}, {x + kSliderWidth, y + h}, {x + 5, y + h}});
    }
    case ThermSlider: { // a diamond in its own column
        const double x = kThermLeft;
        const double w = kSliderWidth / 2.0;
        return QPolygonF({{x, y}, {x + w, y - h - 1}, {x + 2 * w, y}, {x + w, y + h + 1}});
    }
    }
    return {};
}

QPoint TempGauge::sliderCentre(Slider slider) const {
    return sliderShape(slider).boundingRect().center().toPoint();
}

bool TempGauge::hitSlider(const QPointF& position, Slider* hit) const {
    // The selected slider is drawn on top, so it wins where sliders overlap.
    const std::array<Slider, 4> order{m_selected, ThermSlider, HighSlider, LowSlider};
    for (const Slider slider : order) {
        if (sliderShape(slider).boundingRect().adjusted(-1, -1, 1, 1).contains(position)) {
            *hit = slider;
            return true;
        }
    }
    return false;
}

void TempGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const GaugeScale s = scale();

    QFont small = font();
    small.setPointSizeF(font().pointSizeF() * 0.8);
    p.setFont(small);
    const QFontMetrics metrics(small);
    const double step = GraduationStep(s, metrics.height());
    p.setPen(palette().color(QPalette::WindowText));
    for (const double value : Graduations(s, step)) {
        const double y = s.yOf(value);
        p.drawLine(QPointF(kLabelRight + 2, y), QPointF(kTubeLeft - 1, y));
        const QRectF label(0, y - metrics.height() / 2.0, kLabelRight, metrics.height());
        p.drawText(label, Qt::AlignRight | Qt::AlignVCenter, QString::number(value));
    }
    const double minorStep = step / kMinorTicksPerStep;
    for (double v = std::ceil(s.minimum / minorStep) * minorStep; v <= s.maximum; v += minorStep)
        p.drawLine(QPointF(kTubeLeft - 4, s.yOf(v)), QPointF(kTubeLeft - 1, s.yOf(v)));

    const QRect tube = tubeRect();
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(tube, 3, 3);
    const double barTop = s.yOf(m_temperature);
    p.setPen(Qt::NoPen);
    p.setBrush(kBarColour);
    p.drawRect(QRectF(tube.left() + 2, barTop, tube.width() - 3, s.bottom - barTop + 1));

    const std::array<QColor, 3> colours{kLowColour, kHighColour, kThermColour};
    const std::array<Slider, 3> order{LowSlider, HighSlider, ThermSlider};
    for (const Slider slider : order) {
        if (slider == m_selected)
            continue;
        p.setPen(QPen(colours[slider].darker(150), 1));
        p.setBrush(colours[slider]);
        p.drawPolygon(sliderShape(slider));
    }
    p.setPen(QPen(hasFocus() ? palette().color(QPalette::Highlight) : colours[m_selected].darker(150),
                  hasFocus() ? 2 : 1));
    p.setBrush(colours[m_selected]);
    p.drawPolygon(sliderShape(m_selected));

    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(0, height() - captionHeight(), width(), captionHeight()), Qt::AlignCenter, m_caption);
}

void TempGauge::select(Slider slider) {
    m_selected = slider;
    update();
}

void TempGauge::mousePressEvent(QMouseEvent* event) {
    Slider hit;
    if (event->button() != Qt::LeftButton || !hitSlider(event->position(), &hit)) {
        QWidget::mousePressEvent(event);
        return;
    }
    select(hit);
    m_dragging = true;
    m_pressY = event->position().y();
    m_grabOffset = m_pressY - scale().yOf(m_limits[hit]);
    m_dragStartValue = m_limits[hit];
}

double TempGauge::draggedValue(double pointerY) const {
    // Until the pointer moves, a slider drawn pinned at a scale end keeps its value beyond it.
    if (pointerY == m_pressY)
        return m_dragStartValue;
    return scale().valueAt(pointerY - m_grabOffset, m_steps[m_selected]);
}

void TempGauge::showMovingValue() {
    // The scale is too small to read a limit off to its step; on its step it is the value the chip stores.
    const QString text = sliderName(m_selected) + " " + TrimmedNumber(m_limits[m_selected]) + "°C";
    QToolTip::showText(mapToGlobal(sliderCentre(m_selected) + QPoint(kSliderWidth, 0)), text, this);
}

void TempGauge::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging)
        return;
    setLimit(m_selected, draggedValue(event->position().y()));
    showMovingValue();
}

void TempGauge::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    QToolTip::hideText();
    setLimit(m_selected, draggedValue(event->position().y()));
    // Once per drag, on release: each notification costs five writes and thirteen reads.
    if (m_limits[m_selected] != m_dragStartValue)
        emit sliderChange(m_index);
}

void TempGauge::moveSelectedBy(double degrees) {
    const double current = m_limits[m_selected];
    const double onScale = std::clamp(current, m_minimum, kScaleMaximum);
    const double moved =
        std::clamp(SnapToStep(onScale + degrees, m_steps[m_selected]), m_minimum, kScaleMaximum);
    // A limit beyond the scale is not pulled back onto it by a step further outwards.
    if (moved == current || (degrees > 0) != (moved > current))
        return;
    setLimit(m_selected, moved);
    m_keyMovePending = true;
    showMovingValue();
}

void TempGauge::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        moveSelectedBy(m_steps[m_selected]);
        break;
    case Qt::Key_Down:
        moveSelectedBy(-m_steps[m_selected]);
        break;
    case Qt::Key_PageUp:
        moveSelectedBy(5);
        break;
    case Qt::Key_PageDown:
        moveSelectedBy(-5);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TempGauge::keyReleaseEvent(QKeyEvent* event) {
    // A held key repeats its moves; the chip is written once the key is let go.
    if (event->isAutoRepeat() || !m_keyMovePending) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    m_keyMovePending = false;
    emit sliderChange(m_index);
}

void TempGauge::focusInEvent(QFocusEvent* event) {
    if (event->reason() == Qt::TabFocusReason)
        select(LowSlider);
    else if (event->reason() == Qt::BacktabFocusReason)
        select(ThermSlider);
    QWidget::focusInEvent(event);
}

bool TempGauge::focusNextPrevChild(bool next) {
    // Tab walks the three sliders before it leaves the gauge.
    if (hasFocus() && next && m_selected != ThermSlider) {
        select(static_cast<Slider>(m_selected + 1));
        return true;
    }
    if (hasFocus() && !next && m_selected != LowSlider) {
        select(static_cast<Slider>(m_selected - 1));
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}
