// A run of the whole program on the simulated board while the Remote1 diode opens
// and is mended again: the limits window's lamps and the log file follow it.
#include "files/LogStart.h"
#include "support/SimulatedBoardRun.h"
#include "views/StatusLamp.h"

#include <gtest/gtest.h>

using namespace GeneralStuff;

namespace {
constexpr qint64 kStartMs = 10LL * 60 * 60 * 1000; // mid-morning, far from midnight
constexpr qint64 kTickMs = 125;
constexpr int kD1OpenLamp = 6, kRemote1HighLamp = 2, kAlertLamp = 11;

class DiodeFaultRun : public SimulatedBoardRun {
protected:
    DiodeFaultRun() : SimulatedBoardRun("drift=off, open1_at=4, open1_until=8", kStartMs) {}
};

// The Remote1 column of the log's rows, in order.
QStringList remote1Column(const QString& path) {
    QStringList column;
    for (const QStringList& row : LogDataRows(path))
        column << row[1];
    return column;
}

// Runs of equal neighbours folded into one: {a, a, b, a} gives {a, b, a}.
QStringList folded(const QStringList& values) {
    QStringList runs;
    for (const QString& value : values)
        if (runs.isEmpty() || runs.last() != value)
            runs << value;
    return runs;
}
} // namespace

TEST_F(DiodeFaultRun, Remote1DiodeOpenedAndMendedMidRunReachesTheLampsAndTheLog) {
    frmMain main;
    startProgram(main);
    LogInterval = 500;
    main.OpenChildWindow("frmLimits");
    auto lampOn = [&main](int index) {
        auto* lamp = main.findChild<StatusLamp*>(QString("tglAlert_%1").arg(index));
        return lamp && lamp->isOn();
    };
    ASSERT_TRUE(main.findChild<StatusLamp*>("tglAlert_6"));
    const QString logFile = folder.filePath("fault.csv");
    ASSERT_TRUE(StartLoggingAllChannels(logFile));

    struct Look {
        double atSeconds;
        bool open;
    };
    // The diode opens 4 s after power-on and is mended at 8 s; each look leaves the
    // reading and the lamps a second to catch up.
    const Look looks[] = {{3.5, false}, {5.5, true}, {7.5, true}, {9.5, false}, {12.0, false}};
    try {
        for (const Look& look : looks) {
            tickUntil(main, kStartMs + static_cast<qint64>(look.atSeconds * 1000), kTickMs);
            SCOPED_TRACE(look.atSeconds);
            EXPECT_EQ(lampOn(kD1OpenLamp), look.open);
            EXPECT_EQ(lampOn(kRemote1HighLamp), look.open) << "an open diode reads the highest value";
            EXPECT_EQ(lampOn(kAlertLamp), look.open);
            EXPECT_EQ(Temperatures[1], look.open ? 255.75f : 33.75f);
        }
    } catch (const LinkErrorExit& error) {
        FAIL() << "link error " << error.code << " at " << nowMs << " ms";
    }
    EXPECT_TRUE(linkErrors.empty());
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();

    // Every row logs what the chip read at the time: steady, the open diode's reading, steady again.
    const QStringList column = remote1Column(logFile);
    EXPECT_GE(column.size(), 15);
    EXPECT_EQ(folded(column), (QStringList{"33.75", "255.75", "33.75"})) << column.join(' ').toStdString();
    main.close();
}
