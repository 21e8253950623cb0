#pragma once
// The grids of i2c-tools, so a dump or a scan compares line by line with one taken by
// i2cdump or i2cdetect on a real bus. Pure: no chip inside.
#include "cli/CliConnect.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>

// i2cdump's byte-data grid: header, 16 rows of 16 bytes in lower-case hexadecimal and the
// ASCII column; an address without a value is XX (X in the ASCII column).
QByteArray I2cdumpGrid(const std::array<std::optional<uint8_t>, 256>& bytes);

// i2cdetect's map of the addresses from first to last: the address where something
// answers, -- where nothing does, blanks outside the range. The OTK5530s are listed on a
// line of their own after the map.
QByteArray I2cdetectGrid(const std::vector<ScanHit>& hits, int32_t first, int32_t last);
