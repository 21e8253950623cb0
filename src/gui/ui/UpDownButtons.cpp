#include "ui/UpDownButtons.h"

#include "device/NumberText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyleOption>
#include <QStylePainter>
#include <QTimer>
#include <algorithm>

namespace {
constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 60;
} // namespace

int UpDownStep(const QString& text, int step, int minimum, int maximum) {
    // Whatever was typed, the step starts from the nearest value inside the range.
    const double typed = RoundHalfEven(ValueOfText(text));
    const int current = static_cast<int>(std::clamp<double>(typed, minimum, maximum));
    return std::clamp(current + step, minimum, maximum);
}

UpDownButtons::UpDownButtons(const QString& name, QLineEdit* buddy, int increment, int minimum, int maximum,
                             QWidget* parent)
    : UpDownButtons(parent) {
    setObjectName(name);
    setBuddy(buddy);
    setRange(minimum, maximum);
    setSingleStep(increment);
}

UpDownButtons::UpDownButtons(QWidget* parent) : QWidget(parent), m_repeat(new QTimer(this)) {
    connect(m_repeat, &QTimer::timeout, this, [this] {
        m_repeat->setInterval(kRepeatMs);
        stepBy(m_held == Held::Up ? 1 : -1);
    });
}

void UpDownButtons::setBuddy(QLineEdit* buddy) {
    m_buddy = buddy;
    m_buddy->installEventFilter(this);
}

void UpDownButtons::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
}

void UpDownButtons::setSingleStep(int increment) {
    m_increment = increment;
}

void UpDownButtons::stepBy(int steps) {
    if (!m_buddy)
        return;
    m_buddy->setText(QString::number(UpDownStep(m_buddy->text(), steps * m_increment, m_minimum, m_maximum)));
}

QRect UpDownButtons::halfRect(Held half) const {
    const int upperHeight = height() / 2;
    return half == Held::Up ? QRect(0, 0, width(), upperHeight)
                            : QRect(0, upperHeight, width(), height() - upperHeight);
}

void UpDownButtons::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    for (const Held half : {Held::Up, Held::Down}) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halfRect(half);
        button.state |= (m_held == half) ? QStyle::State_Sunken : QStyle::State_Raised;
        p.drawPrimitive(QStyle::PE_PanelButtonCommand, button);
        QStyleOption arrow = button;
        arrow.rect = button.rect.adjusted(2, 1, -2, -1);
        p.drawPrimitive(half == Held::Up ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                        arrow);
    }
}

void UpDownButtons::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_held = halfRect(Held::Up).contains(event->position().toPoint()) ? Held::Up : Held::Down;
    stepBy(m_held == Held::Up ? 1 : -1);
    m_repeat->start(kFirstRepeatMs);
    update();
}

void UpDownButtons::mouseReleaseEvent(QMouseEvent*) {
    m_held = Held::None;
    m_repeat->stop();
    update();
}

bool UpDownButtons::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
