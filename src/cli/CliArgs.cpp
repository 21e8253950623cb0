#include "cli/CliArgs.h"

#include "app/ConnectionSequence.h"
#include "files/LogGrid.h"

#include <QRegularExpression>
#include <map>

namespace {

constexpr int64_t kLongestDurationMs = 366LL * 24 * 3600 * 1000;
constexpr int64_t kMostSamples = 1000000000LL;
constexpr int32_t kLongestIntervalMs = 24 * 3600 * 1000;

// The options a verb takes beyond the common ones, and how many operands.
struct VerbShape {
    QStringList options;
    int minOperands;
    int maxOperands; // -1: any number
};

const std::map<QString, VerbShape>& verbShapes() {
    static const std::map<QString, VerbShape> shapes{
        {"scan", {{}, 0, 0}},
        {"info", {{}, 0, 0}},
        {"read", {{}, 1, -1}},
        {"write", {{"--mask"}, 2, 2}},
        {"temps", {{"--watch", "--interval"}, 0, 0}},
        {"dump", {{}, 0, 0}},
        {"log", {{"--interval", "--duration", "--samples", "--channels"}, 0, 0}},
        {"save", {{"--changed-only", "--comment"}, 1, 1}},
        {"recall", {{"--dry-run"}, 1, 1}},
        {"diff", {{}, 1, 1}},
        {"limits", {{"--force"}, 0, -1}},
        {"status", {{}, 0, 0}},
        {"sensors", {{}, 0, 0}},
        {"serve", {{"--listen", "--board"}, 0, 0}},
    };
    return shapes;
}

const QStringList kValueOptions{"--adapter",  "--address",  "--format",   "-o",
                                "--mask",     "--interval", "--duration", "--samples",
                                "--channels", "--comment",  "--listen",   "--board"};
const QStringList kFlagOptions{"-y",        "-h",     "--help", "--version", "--watch", "--changed-only",
                               "--dry-run", "--force"};

std::optional<int64_t> wholeNumber(const QString& text) {
    static const QRegularExpression digits("^[0-9]{1,12}$");
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    return text.toLongLong();
}

bool setOption(CliArgs& args, const QString& name, const QString& value, QString& error) {
    const auto refuse = [&](const QString& what) {
        error = name + " " + value + ": " + what;
        return false;
    };
    if (name == "--adapter") {
        args.adapter = value;
    } else if (name == "--address") {
        const std::optional<int> address = ParseByteText(value);
        if (!address || *address < GeneralStuff::kFirstSearchAddress ||
            *address > GeneralStuff::kLastSearchAddress)
            return refuse(QString("not an address the chip is searched at (%1..%2)")
                              .arg(ByteText(GeneralStuff::kFirstSearchAddress),
                                   ByteText(GeneralStuff::kLastSearchAddress)));
        args.address = *address;
    } else if (name == "--format") {
        static const std::map<QString, CliFormat> formats{{"text", CliFormat::Text},
                                                          {"json", CliFormat::Json},
                                                          {"csv", CliFormat::Csv},
                                                          {"otk", CliFormat::Otk},
                                                          {"ndjson", CliFormat::Ndjson},
                                                          {"i2cdump", CliFormat::I2cdump},
                                                          {"i2cdetect", CliFormat::I2cdetect},
                                                          {"prom", CliFormat::Prom}};
        const auto found = formats.find(value);
        if (found == formats.end())
            return refuse("not a format (text, json, ndjson, csv, otk, i2cdump, i2cdetect, prom)");
        args.format = found->second;
    } else if (name == "-o") {
        if (value.isEmpty())
            return refuse("needs a file name");
        // "-" and /dev/stdout are standard output, which an empty name stands for.
        args.output = IsStandardOutput(value) ? QString() : value;
    } else if (name == "--mask") {
        args.mask = ParseByteText(value);
        if (!args.mask)
            return refuse("not a byte (0..255 or 0x00..0xFF)");
    } else if (name == "--interval") {
        const std::optional<int64_t> ms = wholeNumber(value);
        if (!ms || *ms < kShortestLogInterval || *ms > kLongestIntervalMs)
            return refuse(QString("not a whole number of milliseconds from %1 to %2")
                              .arg(kShortestLogInterval)
                              .arg(kLongestIntervalMs));
        args.intervalMs = static_cast<int32_t>(*ms);
    } else if (name == "--duration") {
        args.durationMs = ParseDuration(value);
        if (!args.durationMs || *args.durationMs <= 0)
            return refuse("not a duration (e.g. 60s, 5m, 2h, or seconds)");
    } else if (name == "--samples") {
        args.samples = wholeNumber(value);
        if (!args.samples || *args.samples < 1 || *args.samples > kMostSamples)
            return refuse("not a number of samples from 1 to 1000000000");
    } else if (name == "--channels") {
        args.channels = {false, false, false};
        for (const QString& channel : value.split(',')) {
            const qsizetype index = ChannelNames().indexOf(channel.trimmed().toLower());
            if (index < 0)
                return refuse("not a list of channels (local, remote1, remote2)");
            args.channels[index] = true;
        }
    } else if (name == "--comment") {
        args.comment = value;
    } else if (name == "--listen") {
        args.listen = ParseListenAddress(value);
        if (!args.listen)
            return refuse("not a numeric address and a port, such as 127.0.0.1:5530 or [::1]:5530");
    } else if (name == "--board") {
        // Checked whole by serve, which knows OTK5530_SIM and every other board.
        args.boards << value;
    }
    return true;
}

void setFlag(CliArgs& args, const QString& name) {
    if (name == "-h" || name == "--help")
        args.help = true;
    else if (name == "--version")
        args.version = true;
    else if (name == "--watch")
        args.watch = true;
    else if (name == "--changed-only")
        args.changedOnly = true;
    else if (name == "--dry-run")
        args.dryRun = true;
    else if (name == "--force")
        args.force = true;
}

} // namespace

const QStringList& ChannelNames() {
    static const QStringList names{"local", "remote1", "remote2"};
    return names;
}

bool IsStandardOutput(const QString& name) {
    return name == "-" || name == "/dev/stdout";
}

bool IsStandardInput(const QString& name) {
    return name == "-" || name == "/dev/stdin";
}

std::optional<int> ParseByteText(const QString& text) {
    static const QRegularExpression hex("^0[xX]([0-9a-fA-F]{1,2})$");
    static const QRegularExpression decimal("^[0-9]{1,3}$");
    const QString trimmed = text.trimmed();
    if (const QRegularExpressionMatch match = hex.match(trimmed); match.hasMatch())
        return match.captured(1).toInt(nullptr, 16);
    if (decimal.match(trimmed).hasMatch() && trimmed.toInt() <= 255)
        return trimmed.toInt();
    return std::nullopt;
}

std::optional<int64_t> ParseDuration(const QString& text) {
    static const QRegularExpression shape("^([0-9]{1,12})(ms|s|m|h)?$");
    const QRegularExpressionMatch match = shape.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    static const std::map<QString, int64_t> units{
        {"ms", 1}, {"", 1000}, {"s", 1000}, {"m", 60000}, {"h", 3600000}};
    const int64_t count = match.captured(1).toLongLong();
    const int64_t unit = units.at(match.captured(2));
    if (count > kLongestDurationMs / unit)
        return std::nullopt;
    return count * unit;
}

std::optional<CliArgs> ParseCliArgs(const QStringList& arguments, QString& error) {
    CliArgs args;
    QStringList given;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        // A negative number is a value, not an option.
        const bool isOption =
            !optionsEnded && argument.startsWith('-') && argument.size() > 1 && !argument.at(1).isDigit();
        if (!isOption) {
            if (args.verb.isEmpty())
                args.verb = argument;
            else
                args.operands << argument;
            continue;
        }
        QString name = argument;
        std::optional<QString> value;
        if (const qsizetype equals = argument.indexOf('='); argument.startsWith("--") && equals > 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
        }
        if (kFlagOptions.contains(name)) {
            if (value) {
                error = name + " takes no value";
                return std::nullopt;
            }
            setFlag(args, name);
        } else if (kValueOptions.contains(name)) {
            if (!value) {
                if (i + 1 >= arguments.size()) {
                    error = name + " needs a value";
                    return std::nullopt;
                }
                value = arguments[++i];
            }
            if (!setOption(args, name, *value, error))
                return std::nullopt;
        } else {
            error = "unknown option " + name;
            return std::nullopt;
        }
        given << name;
    }
    if (args.help || args.version)
        return args;
    if (args.verb.isEmpty()) {
        error = "no verb given (try --help)";
        return std::nullopt;
    }
    const auto shape = verbShapes().find(args.verb);
    if (shape == verbShapes().end()) {
        error = "unknown verb " + args.verb + " (try --help)";
        return std::nullopt;
    }
    static const QStringList common{"--adapter", "--address", "--format", "-o", "-y"};
    for (const QString& name : given)
        if (!common.contains(name) && !shape->second.options.contains(name)) {
            error = name + " is not an option of " + args.verb;
            return std::nullopt;
        }
    const VerbShape& verb = shape->second;
    if (args.operands.size() < verb.minOperands ||
        (verb.maxOperands >= 0 && args.operands.size() > verb.maxOperands)) {
        error = args.operands.size() < verb.minOperands
                    ? args.verb + " needs more arguments (try --help)"
                    : "unexpected argument " + args.operands.at(verb.maxOperands) + " for " + args.verb;
        return std::nullopt;
    }
    // The formats that are some verbs' own.
    static const std::map<CliFormat, std::pair<QString, QStringList>> ownFormats{
        {CliFormat::Otk, {"otk", {"log"}}},
        {CliFormat::I2cdump, {"i2cdump", {"dump"}}},
        {CliFormat::I2cdetect, {"i2cdetect", {"scan"}}},
        {CliFormat::Prom, {"prom", {"temps", "log"}}}};
    if (const auto own = ownFormats.find(args.format);
        own != ownFormats.end() && !own->second.second.contains(args.verb)) {
        error = "--format " + own->second.first + " is only for " + own->second.second.join(" and ");
        return std::nullopt;
    }
    if (args.format == CliFormat::Prom) {
        // Metrics one after another on a stream are no exposition a collector reads.
        if ((args.verb == "log" || args.watch) && args.output.isEmpty()) {
            error = "--format prom replaces a file at each sample: give -o FILE";
            return std::nullopt;
        }
        if (given.contains("--channels")) {
            error = "--channels is not for --format prom: the metrics hold every sensor";
            return std::nullopt;
        }
    }
    // serve answers over HTTP: it has no output of its own to shape or redirect.
    if (args.verb == "serve" && (given.contains("--format") || given.contains("-o"))) {
        error = QString(given.contains("-o") ? "-o" : "--format") + " is not an option of serve";
        return std::nullopt;
    }
    if (args.durationMs && args.samples) {
        error = "--duration and --samples exclude each other";
        return std::nullopt;
    }
    return args;
}
