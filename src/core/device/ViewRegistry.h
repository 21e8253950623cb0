#pragma once
// How the monitoring cycle and the settings file reach open windows without
// knowing their classes: each window's ViewRegistration fills its slot when it
// loads and clears it when it unloads or is destroyed. A filled slot is what
// "open" means.
#include "device/Reading.h"

#include <cstdint>

// The temperature graph: it appends a reading's samples and captions its traces itself.
class GraphView {
public:
    virtual ~GraphView() = default;
    virtual void showReading(const Reading& reading) = 0;
    // The two status registers as the limits window's lamps just read them: the
    // graph never reads them itself, since a read clears the latched bits.
    virtual void statusRead(uint8_t status1, uint8_t status2) = 0;
};

// The limits window: its gauges and lamps.
class LimitsView {
public:
    virtual ~LimitsView() = default;
    virtual void setLamp(int index, bool on) = 0;
    // Each gauge shows its temperature and captions it.
    virtual void showReading(const Reading& reading) = 0;
};

// The register map window, as the monitoring cycle drives it.
class RegMapView {
public:
    virtual ~RegMapView() = default;
    virtual bool continuousReadTicked() const = 0;
    virtual void ReadAction() = 0;
};

// The main window's master timer, which the settings file pauses while it touches the chip.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual void setMasterTimerEnabled(bool enabled) = 0;
    virtual bool masterTimerEnabled() const = 0;
    // A section's condition or interval changed: the master timer wakes for it in time.
    virtual void cycleSettingsChanged() {}
};

struct OpenViews {
    MainWindowView* main = nullptr;
    GraphView* graph = nullptr;
    LimitsView* limits = nullptr;
    RegMapView* regMap = nullptr;
};
