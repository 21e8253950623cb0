#pragma once
// Up/down spin buttons bound to a text box: each step reads the number the text
// box holds, moves it by one within the range and writes it back. The text box
// itself still accepts any text. Up/Down keys in the text box step as well.
#include <QWidget>

class QLineEdit;
class QTimer;

class UpDownButtons : public QWidget {
    Q_OBJECT
public:
    explicit UpDownButtons(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* buddy);
    void setRange(int minimum, int maximum);
    void stepBy(int steps);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Held { None, Up, Down };
    QRect halfRect(Held half) const;

    QLineEdit* m_buddy = nullptr;
    int m_minimum = 0;
    int m_maximum = 100;
    Held m_held = Held::None;
    QTimer* m_repeat = nullptr;
};
