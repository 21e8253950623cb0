#pragma once
// The logging grid: row r of a logging run belongs r × LogInterval after the run's
// first row, so the time column (row count times interval) stays true however late
// the ticks come. Pure: no clock and no file inside.
#include <cstdint>
#include <optional>

// The shortest logging interval the user may set, in ms: the lower end of the
// logging window's spin control. A shorter one would ask for more lines than the
// 10 ms master timer can write.
inline constexpr int32_t kShortestLogInterval = 10;

// The row due when elapsedMs have passed since row 0 and the last row written stood
// lastRowMs after it (-1 before row 0): the latest row of the interval's grid at or
// before elapsedMs, once it lies after the last row. Rows that a stall passed over
// are skipped, so the time column shows the gap instead of compressing it. After a
// change of interval the grid is the new interval's. Nothing when no row is due.
struct LogRow {
    int64_t row;  // the row number: its time column is row × interval
    int64_t atMs; // where the row stands on the grid, ms after row 0
};
std::optional<LogRow> DueLogRow(int64_t elapsedMs, int64_t lastRowMs, int32_t intervalMs);
