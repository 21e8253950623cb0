#pragma once
// The verbs that read and write registers and limits. Each reads the chip through the
// device link and returns what it found; bad input throws CliError before the chip is touched.
#include "cli/CliArgs.h"
#include "cli/CliConnect.h"
#include "cli/CliOutput.h"

#include <array>
#include <optional>

// The operands of read, write and limits, checked as far as they can be without the chip.
void CheckVerbOperands(const CliArgs& args);

Report ScanReport(const std::vector<ScanHit>& hits);
Report InfoVerb(const CliConnection& connection);
Report ReadVerb(const QStringList& operands);
Report DumpVerb();
// Every register's byte by read address, for the i2cdump grid (status registers included).
std::array<std::optional<uint8_t>, 256> DumpBytes();

// Read-modify-write with the mask, then a read-back: throws CliError (status 3) after
// reporting when the register reads back other than written.
Report WriteVerb(const QStringList& operands, std::optional<int> mask, int& status);
// Only values the limit registers hold exactly, in the range in force; a low limit above
// its high limit only with `force`. Status 3 when a limit reads back other than set.
Report LimitsVerb(const QStringList& operands, bool force, int& status);
