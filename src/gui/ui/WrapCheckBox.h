#pragma once
// A check box whose caption wraps onto further lines within its width.
#include <QCheckBox>

class WrapCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The whole box, caption lines included, toggles it.
    bool hitButton(const QPoint& position) const override;
};
