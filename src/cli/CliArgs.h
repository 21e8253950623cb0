#pragma once
// The command line of otk5530-cli: options before or after the verb, checked against
// what each verb takes. Pure: no chip inside.
#include "cli/CliOutput.h"
#include "cli/ListenAddress.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

struct CliArgs {
    bool help = false;
    bool version = false;
    QString adapter; // empty: OTK5530_ADAPTER, else the simulated board
    std::optional<int32_t> address;
    CliFormat format = CliFormat::Text;
    QString output; // -o FILE; empty: standard output (also for "-" and /dev/stdout)
    QString verb;
    QStringList operands;
    // Options of single verbs.
    std::optional<int> mask;
    bool watch = false;
    std::optional<int32_t> intervalMs;
    std::optional<int64_t> durationMs;
    std::optional<int64_t> samples;
    std::array<bool, 3> channels{true, true, true};
    bool changedOnly = false;
    QString comment;
    bool dryRun = false;
    bool force = false;                  // limits: a low limit above its high limit is set all the same
    std::optional<ListenAddress> listen; // serve: nothing: the default address
    QStringList boards;                  // serve: each --board as given
};

// "-" or /dev/stdout as -o or save's file; "-" or /dev/stdin as the file of recall and diff.
bool IsStandardOutput(const QString& name);
bool IsStandardInput(const QString& name);

// The arguments without the program name. Nothing, with a message naming the argument,
// for anything the tool does not take.
std::optional<CliArgs> ParseCliArgs(const QStringList& arguments, QString& error);

// The channels as the tool names them, in the order of GeneralStuff::Temperatures.
const QStringList& ChannelNames();

// A byte given as 0x.. hexadecimal or decimal, 0..255.
std::optional<int> ParseByteText(const QString& text);
// «60s», «5m», «2h», «250ms» or plain seconds, in ms; at most a year.
std::optional<int64_t> ParseDuration(const QString& text);

// The default and the shortest interval of temps --watch and log, in ms.
inline constexpr int32_t kDefaultIntervalMs = 1000;
