#pragma once
// A check box whose caption wraps onto further lines within its width; its text()
// stays the caption as given.
#include <QCheckBox>

class WrappedCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};
