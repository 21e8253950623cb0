#include "files/WrappedCheckBox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

void WrappedCheckBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_CheckBox, option);
    option.text = caption;
    const QRect textArea = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    painter.drawItemText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, palette(),
                         isEnabled(), caption, QPalette::WindowText);
}
