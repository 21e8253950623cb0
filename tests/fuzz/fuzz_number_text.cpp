// Typed text is read as decimal and hexadecimal numbers in every window; no
// text may crash the readers or produce a value outside the promised width.
#include "device/NumberText.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const double value = ValueOfText(text);
    if (std::isnan(value))
        std::abort();
    const double whole = RoundHalfEven(value);
    if (std::isfinite(value) && std::fabs(whole - value) > 0.5)
        std::abort();
    if (const auto v32 = WholeValueOfText32(text); v32 && static_cast<double>(*v32) != whole)
        std::abort();
    if (const auto v16 = WholeValueOfText16(text); v16 && static_cast<double>(*v16) != whole)
        std::abort();
    if (const auto hex = HexValueOfText(text); hex && *hex < 0)
        std::abort();
    if (std::isfinite(value) && std::fabs(value) < 1e15 && ValueOfText(StrNumber(value)) != value)
        std::abort(); // the number text reads back as the same number
    return 0;
}
