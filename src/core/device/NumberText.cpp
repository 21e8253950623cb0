#include "device/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {
template <typename T> QString shortestFixed(T magnitude) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed);
    QString digits = QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
    if (digits.startsWith("0."))
        digits.remove(0, 1);
    return digits;
}

template <typename T> QString numberText(T value) {
    if (std::isnan(value))
        return " NaN";
    if (value == 0)
        return " 0";
    const QString digits = shortestFixed(std::fabs(value));
    return (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + digits;
}
} // namespace

QString StrNumber(double value) {
    return numberText(value);
}
QString StrNumber(float value) {
    return numberText(value);
}
QString TrimmedNumber(double value) {
    return StrNumber(value).mid(StrNumber(value).startsWith(' ') ? 1 : 0);
}
QString TrimmedNumber(float value) {
    return StrNumber(value).mid(StrNumber(value).startsWith(' ') ? 1 : 0);
}

QString FormatTemperature(float value) {
    const QString whole = TrimmedNumber(value);
    const double fraction = std::round((static_cast<double>(value) - std::floor(value)) * 1000.0) / 1000.0;
    const QString fractionText = TrimmedNumber(fraction);
    if (fractionText == "0")
        return whole + ".00";
    if (fractionText.size() == 2)
        return whole + "0";
    return whole;
}

double ValueOfText(const QString& text) {
    int i = 0;
    const int n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    QByteArray number;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        number += text[i++].toLatin1();
    bool sawPoint = false;
    bool sawDigit = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= '0' && c <= '9') {
            number += c.toLatin1();
            sawDigit = true;
        } else if (c == '.' && !sawPoint) {
            number += '.';
            sawPoint = true;
        } else {
            break;
        }
    }
    if (!sawDigit)
        return 0.0;
    return std::strtod(number.constData(), nullptr);
}

std::optional<int32_t> WholeValueOfText32(const QString& text) {
    const double whole = RoundHalfEven(ValueOfText(text));
    if (!(whole >= std::numeric_limits<int32_t>::min() && whole <= std::numeric_limits<int32_t>::max()))
        return std::nullopt;
    return static_cast<int32_t>(whole);
}

std::optional<int16_t> WholeValueOfText16(const QString& text) {
    const double whole = RoundHalfEven(ValueOfText(text));
    if (!(whole >= std::numeric_limits<int16_t>::min() && whole <= std::numeric_limits<int16_t>::max()))
        return std::nullopt;
    return static_cast<int16_t>(whole);
}

QString HexText(int64_t value) {
    return QString::number(static_cast<qulonglong>(value), 16).toUpper();
}

std::optional<int32_t> HexValueOfText(const QString& text) {
    int64_t value = 0;
    for (const QChar c : text) {
        const int digit = QString(c).toInt(nullptr, 16);
        const bool isHexDigit = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!isHexDigit)
            break;
        value = value * 16 + digit;
        if (value > std::numeric_limits<int32_t>::max())
            return std::nullopt;
    }
    return static_cast<int32_t>(value);
}
