#pragma once

#include <qcustomplot.h>

#include <utility>
#include <vector>

// The texts of the ticks shown at the last redraw, so a label is made once while its tick stays on
// screen. The chart scrolls a few pixels between redraws: most ticks, and so their texts, stay.
class TickLabelCache {
public:
    void clear() { m_shown.clear(); }

    // The text of each tick: the one shown last time for the same tick, otherwise make(tick).
    template <typename Make> QVector<QString> labels(const QVector<double>& ticks, Make make) {
        std::vector<std::pair<double, QString>> shown;
        shown.reserve(ticks.size());
        QVector<QString> texts;
        texts.reserve(ticks.size());
        for (double tick : ticks) {
            QString text = knownText(tick, make);
            texts.append(text);
            shown.emplace_back(tick, std::move(text));
        }
        m_shown = std::move(shown);
        return texts;
    }

private:
    template <typename Make> QString knownText(double tick, Make& make) const {
        for (const auto& [key, text] : m_shown)
            if (key == tick)
                return text;
        return make(tick);
    }

    std::vector<std::pair<double, QString>> m_shown;
};

// The chart's local-time axis: the ticks and texts of QCPAxisTickerDateTime, each text formatted once
// (turning a key into local time is the costly part).
class TimeAxisTicker : public QCPAxisTickerDateTime {
protected:
    QVector<QString> createLabelVector(const QVector<double>& ticks, const QLocale& locale, QChar formatChar,
                                       int precision) override;

private:
    TickLabelCache m_cache;
    QLocale m_locale;
    QString m_format;
    Qt::TimeSpec m_timeBasis = Qt::LocalTime; // local time, UTC or a zone
    QTimeZone m_zone;
};

// The temperature axis: the ticks and texts of QCPAxisTicker, each number formatted once.
class ValueAxisTicker : public QCPAxisTicker {
protected:
    QVector<QString> createLabelVector(const QVector<double>& ticks, const QLocale& locale, QChar formatChar,
                                       int precision) override;

private:
    TickLabelCache m_cache;
    QLocale m_locale;
    QChar m_formatChar;
    int m_precision = -1;
};
