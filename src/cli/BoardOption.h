#pragma once
// The boards `serve` exports, as --board names them: "sim:KEY=VAL,...", "usb[:BUS-PORTS][,ADDR]",
// "i2c:/dev/i2c-N[,ADDR][,force]"; and the chip label each gets from where it is. Pure: no
// device is opened.
#include "adapter/AdapterChoice.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

struct BoardOption {
    AdapterChoice choice;
    // The chip's address; nothing: the lowest address where an OTK5530 answers, searched at
    // the first connection and kept from then on.
    std::optional<int32_t> address;
};

// One --board value. `simEnvironment` is OTK5530_SIM, whose keys a sim board's own add to and
// override. Nothing, with a message naming the value, when it is refused.
std::optional<BoardOption> ParseBoardOption(const QString& text, const std::string& simEnvironment,
                                            QString& error);

// The board of the tool's other verbs: the --adapter choice (empty: OTK5530_ADAPTER, else sim)
// and --address.
std::optional<BoardOption> DefaultBoardOption(const QString& adapterChoice, std::optional<int32_t> address,
                                              const std::string& simEnvironment, QString& error);

// Every --board value, or the default board when there is none. Refused as a whole when two
// boards would share a label or a USB adapter.
std::optional<std::vector<BoardOption>> ParseBoardOptions(const QStringList& texts,
                                                          const QString& adapterChoice,
                                                          std::optional<int32_t> address,
                                                          const std::string& simEnvironment, QString& error);

// "sim", "usb-1-3", "i2c-1": where the board sits, which stays across restarts and re-plugging;
// "usb" while the adapter has not been found.
QString BoardPlace(const AdapterChoice& choice);

// "sim-0x4c", "i2c-1-0x4c", "usb-1-3-0x4c": the place and the address, never the board's place
// on the command line, so a series keeps its label across restarts and reordered options. An
// address not yet searched is left out.
QString ChipLabel(const BoardOption& board);
