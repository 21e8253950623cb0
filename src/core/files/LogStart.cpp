#include "files/LogStart.h"

#include "app/Announcements.h"
#include "files/LogGrid.h"
#include "files/LogLines.h"
#include "files/LogRun.h"

#include <algorithm>

std::optional<LogStartRefusal> StartLogging(const QString& file, const std::array<bool, 3>& channels,
                                            std::optional<int32_t> interval) {
    if (std::none_of(channels.begin(), channels.end(), [](bool logged) { return logged; }))
        return LogStartRefusal::NoChannel;
    if (!interval)
        return LogStartRefusal::IntervalOutOfRange;
    if (*interval < kShortestLogInterval)
        return LogStartRefusal::IntervalTooShort;
    // The header append opens only a plain file, without blocking: a device or pipe fails there.
    if (file.isEmpty())
        return LogStartRefusal::FileNotWritable;

    if (!LogRun(file, channels, *interval).appendHeader())
        return LogStartRefusal::FileNotWritable;
    StartProgramLog({file, channels, *interval});
    emit Announcements::program().cycleSettingsChanged();
    emit Announcements::program().statusText("Logging Enabled");
    return std::nullopt;
}

bool StartLoggingAllChannels(const QString& file) {
    return !StartLogging(file, {true, true, true}, ProgramLogSettings().interval);
}
