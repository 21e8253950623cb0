#pragma once
// sensors: each channel's temperature, its three limits and its flags, read with the
// status in one pass, laid out as lm-sensors' `sensors` and `sensors -j` lay out a chip.
#include "cli/CliConnect.h"
#include "cli/CliOutput.h"

// One row per channel: channel, temperature (with fault and alarms), high, low, therm,
// flags («ALARM THERM», «OPEN»).
Report SensorsVerb();

// «otk5530-sim-4c», «otk5530-i2c-7-4c», «otk5530-usb-4c»: the chip as sensors names one.
QString SensorsChipName(const QString& adapterChoice, const CliConnection& connection, int32_t address);

// The chip name, the adapter, then a line per channel: «remote1:  +33.75°C  (high = +85.0°C,
// low = +0.0°C, crit = +85.0°C)  ALARM».
QByteArray RenderSensorsText(const Report& report, const QString& chipName, const QString& adapter);
// {"chip": {"Adapter": ..., "local": {"temp1_input": 25, "temp1_max": 85, ...}, ...}}; an open
// diode's input is null with "temp2_fault": 1 and "fault": "open diode".
QByteArray RenderSensorsJson(const Report& report, const QString& chipName, const QString& adapter);
