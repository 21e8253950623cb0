#pragma once
// A vertical temperature gauge: a scale up to 127 °C, a bar from the scale's lower
// end to the measured temperature, a caption, and three draggable limit sliders.
// The user drags a slider with the mouse, or selects one (click, Tab) and moves it
// with Up/Down; the gauge then raises sliderChange once with its index.
#include "views/GaugeScale.h"

#include <QString>
#include <QWidget>
#include <array>

class TempGauge : public QWidget {
    Q_OBJECT
public:
    enum Slider { LowSlider, HighSlider, ThermSlider };

    explicit TempGauge(int index, QWidget* parent = nullptr);

    int index() const { return m_index; }

    void setScaleMinimum(double minimum);
    double scaleMinimum() const { return m_minimum; }
    double scaleMaximum() const { return kScaleMaximum; }

    void setTemperature(double temperature);
    double temperature() const { return m_temperature; }
    void setCaption(const QString& caption);
    QString caption() const { return m_caption; }

    // A limit is kept exactly as set, even beyond the scale (it is then drawn at the
    // scale's end), so moving one slider never rewrites another limit.
    void setLowLimit(double value) { setLimit(LowSlider, value); }
    void setHighLimit(double value) { setLimit(HighSlider, value); }
    void setThermLimit(double value) { setLimit(ThermSlider, value); }
    double lowLimit() const { return m_limits[LowSlider]; }
    double highLimit() const { return m_limits[HighSlider]; }
    double thermLimit() const { return m_limits[ThermSlider]; }
    void setLimit(Slider slider, double value);
    double limit(Slider slider) const { return m_limits[slider]; }

    // The resolution the chip keeps for the slider's limit, in °C: drags and the
    // Up/Down keys move it in these steps, so what it shows is what the chip stores.
    void setSliderStep(Slider slider, double step) { m_steps[slider] = step; }
    double sliderStep(Slider slider) const { return m_steps[slider]; }

    Slider selectedSlider() const { return m_selected; }
    // The centre of a slider as drawn, in widget coordinates.
    QPoint sliderCentre(Slider slider) const;
    GaugeScale scale() const;

    QSize sizeHint() const override;

signals:
    void sliderChange(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    static constexpr double kScaleMaximum = 127;

    int captionHeight() const;
    QRect tubeRect() const;
    QPolygonF sliderShape(Slider slider) const;
    bool hitSlider(const QPointF& position, Slider* hit) const;
    void select(Slider slider);
    void moveSelectedBy(double degrees);
    void showMovingValue();
    double draggedValue(double pointerY) const;

    int m_index;
    double m_minimum = -40;
    double m_temperature = 0;
    QString m_caption;
    std::array<double, 3> m_limits{0, 0, 0};
    std::array<double, 3> m_steps{0.25, 0.25, 0.25};
    Slider m_selected = LowSlider;
    bool m_dragging = false;
    double m_pressY = 0;
    double m_grabOffset = 0; // pointer row minus slider row, so a grabbed slider does not jump
    double m_dragStartValue = 0;
    bool m_keyMovePending = false; // moved by keys since the last notification
};
