#pragma once
// What the core has to tell the user and the views: the monitoring cycle's feeds, status
// texts, a stopped log, and the master timer's pauses. The core announces it here; the
// shell (ConnectViews) decides which window hears it, so no core file names a window.
#include "device/Reading.h"

#include <QObject>
#include <QString>
#include <cstdint>

class Announcements : public QObject {
    Q_OBJECT
public:
    // The program's one announcer.
    static Announcements& program();

signals:
    // A line for the status bar.
    void statusText(const QString& text);
    // The monitoring cycle had to stop logging.
    void loggingStopped();

    // The limits section: each status register as soon as it is read (Status Reg 1, then 2),
    // for the lamps; then both, for the graph's alarm marks, which never read the status
    // themselves (a read clears the latched bits the lamps show); then the gauges' reading.
    void statusRegisterRead(int32_t address, uint8_t value);
    void statusRead(uint8_t status1, uint8_t status2);
    void gaugesDue(const Reading& reading);
    // The graph section's reading, and how long one of its samples stands for (seconds).
    void graphDue(const Reading& reading, double longestSampleGap);
    // The register map section: the window performs its Read action.
    void regMapReadDue();

    // A section's condition or interval changed: the master timer wakes for it in time.
    void cycleSettingsChanged();
    // The settings file touches the chip: the master timer stops until the matching resume,
    // which gives it back as it was at the outermost pause.
    void masterTimerPaused();
    void masterTimerResumed();
};
