#include "files/LogGrid.h"

#include <algorithm>

std::optional<LogRow> DueLogRow(int64_t elapsedMs, int64_t lastRowMs, int32_t intervalMs) {
    // An interval below 1 ms (refused where it is typed) logs on every tick that finds the clock moved.
    const int64_t step = std::max<int64_t>(intervalMs, 1);
    if (elapsedMs < 0)
        return std::nullopt;
    const int64_t row = elapsedMs / step;
    if (row * step <= lastRowMs)
        return std::nullopt;
    return LogRow{row, row * step};
}
