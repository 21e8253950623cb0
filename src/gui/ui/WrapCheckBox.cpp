#include "ui/WrapCheckBox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
}

int WrapCheckBox::heightForWidth(int width) const {
    QStyleOptionButton option;
    initStyleOption(&option);
    option.rect = QRect(0, 0, width, 1000);
    const QRect textRect = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    return fontMetrics().boundingRect(QRect(0, 0, textRect.width(), 1000), kTextFlags, text()).height() + 2;
}

void WrapCheckBox::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    QStyleOptionButton indicator = option;
    indicator.rect = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    p.drawPrimitive(QStyle::PE_IndicatorCheckBox, indicator);
    const QRect textRect = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    p.drawText(textRect, kTextFlags, text());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = p.boundingRect(textRect, kTextFlags, text());
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool WrapCheckBox::hitButton(const QPoint& position) const {
    return rect().contains(position);
}
