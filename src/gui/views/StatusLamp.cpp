#include "views/StatusLamp.h"

#include <QPainter>

StatusLamp::StatusLamp(QWidget* parent) : QWidget(parent) {
    setToolTip("Interrupt Status: Green=OK, Red=Bad, Invisible=Disabled");
}

void StatusLamp::setOn(bool on) {
    if (on == m_on)
        return;
    m_on = on;
    update();
}

QColor StatusLamp::colour() const {
    return m_on ? QColor(230, 0, 0) : QColor(0, 190, 0);
}

void StatusLamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour().darker(170), 1));
    p.setBrush(colour());
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
}
