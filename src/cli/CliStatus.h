#pragma once
// The chip's two status registers, read in the same pass as the temperatures: an open
// diode is a fault, not a temperature, and the alarm bits stand beside the value.
// Reading them clears the bits the chip latched since the last read.
#include "chip/StatusBits.h"
#include "cli/CliOutput.h"
#include "device/Reading.h"

// Reads Status Reg 1 and Status Reg 2.
ChipStatus ReadChipStatus();

inline const QString kOpenDiode = StatusKindWord(StatusKind::OpenDiode);
// "open diode" for a remote channel whose open-diode bit is set, else empty.
QString ChannelFault(const ChipStatus& status, int channel);
// The channel's alarm bits that are set: "high", "low", "THERM".
QStringList ChannelAlarms(const ChipStatus& status, int channel);
bool AlertSet(const ChipStatus& status);

// A temperature cell of channel 0..2 with its fault and alarms from the status.
Cell StatusChannelCell(const QString& key, int channel, double celsius, const ChipStatus& status);

// Both status registers bit by bit, named as the limits window's lamps, with the raw bytes.
Report StatusVerb();
