#include "views/CachedTickers.h"

QVector<QString> TimeAxisTicker::createLabelVector(const QVector<double>& ticks, const QLocale& locale,
                                                   QChar formatChar, int precision) {
    if (locale != m_locale || dateTimeFormat() != m_format || dateTimeSpec() != m_timeBasis ||
        timeZone() != m_zone) {
        m_cache.clear();
        m_locale = locale;
        m_format = dateTimeFormat();
        m_timeBasis = dateTimeSpec();
        m_zone = timeZone();
    }
    return m_cache.labels(ticks,
                          [&](double tick) { return getTickLabel(tick, locale, formatChar, precision); });
}

QVector<QString> ValueAxisTicker::createLabelVector(const QVector<double>& ticks, const QLocale& locale,
                                                    QChar formatChar, int precision) {
    if (locale != m_locale || formatChar != m_formatChar || precision != m_precision) {
        m_cache.clear();
        m_locale = locale;
        m_formatChar = formatChar;
        m_precision = precision;
    }
    return m_cache.labels(ticks,
                          [&](double tick) { return getTickLabel(tick, locale, formatChar, precision); });
}
