#pragma once
// A spin control bound to a text box: its two arrow buttons step the number in
// the text within a range. It only changes the text; typed text is not limited.
#include "device/NumberText.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <cmath>

// The text's number, brought into the range, one step up or down, kept in range.
inline int UpDownStep(const QString& text, int step, int minimum, int maximum) {
    const double value = std::clamp(RoundHalfEven(ValueOfText(text)), double(minimum), double(maximum));
    return static_cast<int>(std::clamp(value + step, double(minimum), double(maximum)));
}

class UpDown : public QWidget {
public:
    UpDown(const QString& name, QLineEdit* buddy, int increment, int minimum, int maximum, QWidget* parent)
        : QWidget(parent) {
        setObjectName(name);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        for (const bool up : {true, false}) {
            auto* button = new QToolButton(this);
            button->setObjectName(up ? "up" : "down");
            button->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
            button->setAutoRepeat(true);
            button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            button->setFocusPolicy(Qt::NoFocus);
            layout->addWidget(button);
            const int step = up ? increment : -increment;
            connect(button, &QToolButton::clicked, buddy, [=] {
                buddy->setText(QString::number(UpDownStep(buddy->text(), step, minimum, maximum)));
            });
        }
    }
};
