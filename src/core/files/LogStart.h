#pragma once
// Starting a logging run: the one routine behind the logging window's start and
// the command line's --log.
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

enum class LogStartRefusal { NoChannel, IntervalOutOfRange, IntervalTooShort, FileNotWritable };

// Starts logging the channels into the file at the interval: the run's title block
// and column titles are appended, row 0, status "Logging Enabled". Checked in this
// order: a channel, the interval (empty when its text held no 32-bit number), the
// file. A refused start touches neither the file nor the logging state.
std::optional<LogStartRefusal> StartLogging(const QString& file, const std::array<bool, 3>& channels,
                                            std::optional<int32_t> interval);

// Every channel at the current interval, for runs with nobody at the keyboard.
// False when the file cannot be written.
bool StartLoggingAllChannels(const QString& file);
