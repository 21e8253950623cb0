#include "views/CachedTickers.h"

QVector<QString> TimeAxisTicker::createLabelVector(const QVector<double>& ticks, const QLocale& locale,
                                                   QChar formatChar, int precision) {
    if (locale != m_locale || mDateTimeFormat != m_format || mDateTimeSpec != m_spec || mTimeZone != m_zone) {
        m_cache.clear();
        m_locale = locale;
        m_format = mDateTimeFormat;
        m_spec = mDateTimeSpec;
        m_zone = mTimeZone;
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
