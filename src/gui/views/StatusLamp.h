#pragma once
// A two-state interrupt lamp: red when its status bit is set, green when clear.
#include <QColor>
#include <QWidget>

class StatusLamp : public QWidget {
    Q_OBJECT
public:
    explicit StatusLamp(QWidget* parent = nullptr);

    void setOn(bool on);
    bool isOn() const { return m_on; }
    QColor colour() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_on = false;
};
