#pragma once
// Up/down spin buttons bound to a text box: each step reads the number the text
// box holds, moves it by one within the range and writes it back. The text box
// itself still accepts any text. Up/Down keys in the text box step as well.
#include <QString>
#include <QWidget>

class QLineEdit;

// The text's number brought into the range, moved by step, kept in the range.
int UpDownStep(const QString& text, int step, int minimum, int maximum);

class QTimer;

class UpDownButtons : public QWidget {
    Q_OBJECT
public:
    explicit UpDownButtons(QWidget* parent = nullptr);
    // Named, bound to its text box, stepping by increment within minimum..maximum.
    UpDownButtons(const QString& name, QLineEdit* buddy, int increment, int minimum, int maximum,
                  QWidget* parent);

    void setBuddy(QLineEdit* buddy);
    void setRange(int minimum, int maximum);
    void setSingleStep(int increment);
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
    int m_increment = 1;
    Held m_held = Held::None;
    QTimer* m_repeat = nullptr;
};
