#pragma once
// The number texts every window, the log and the settings file share. Pure
// functions: no widget and no chip inside.
#include "chip/RoundHalfEven.h"

#include <QString>
#include <cstdint>
#include <optional>

// A leading blank for non-negative numbers, no trailing zeros, no zero before
// the point: « 25», « 33.75», « .5», «-3.25».
QString StrNumber(double value);
// The same for a single-precision value: the shortest digits that give the float.
QString StrNumber(float value);
// StrNumber without its leading blank.
QString TrimmedNumber(double value);
QString TrimmedNumber(float value);

// Two decimals for quarter-degree values: 30 gives «30.00», 0.5 gives «.50».
QString FormatTemperature(float value);

// The number formed by the text's leading numeric characters (blanks skipped,
// a sign, digits, one point); 0 when the text does not begin with a number.
double ValueOfText(const QString& text);
// ValueOfText rounded half to even, or nothing when it does not fit the width.
std::optional<int32_t> WholeValueOfText32(const QString& text);
std::optional<int16_t> WholeValueOfText16(const QString& text);

// Upper-case hexadecimal digits without leading zeros or prefix (254 → "FE").
QString HexText(int64_t value);
// The text's leading hexadecimal digits (either case) as a number, 0 when it has
// none; nothing when the digits do not fit a signed 32-bit number.
std::optional<int32_t> HexValueOfText(const QString& text);
