#pragma once
// A label that acts as a web link: bold, underlined, blue, with a hand pointer;
// a click runs its action.
#include <QColor>
#include <QLabel>
#include <QMouseEvent>
#include <functional>

class LinkLabel : public QLabel {
public:
    LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
        QFont linkFont = font();
        linkFont.setPointSizeF(8.25);
        linkFont.setBold(true);
        linkFont.setUnderline(true);
        setFont(linkFont);
        setCursor(Qt::PointingHandCursor);
        setTextColor(QColor(0, 0, 192));
    }

    void setTextColor(const QColor& color) {
        QPalette colours = palette();
        colours.setColor(QPalette::WindowText, color);
        setPalette(colours);
    }

    std::function<void()> onClick;

protected:
    // Taking the press makes the release come back to this label.
    void mousePressEvent(QMouseEvent* event) override {
        event->setAccepted(event->button() == Qt::LeftButton);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
            onClick();
    }
};
