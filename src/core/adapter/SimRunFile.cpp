#include "adapter/SimRunFile.h"

#include "adapter/MiniJson.h"
#include "adapter/SimText.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const kChannelNames[3] = {"local", "remote1", "remote2"};
const char* const kProgramTitles[3] = {"Local", "Remote1", "Remote2"};

// What the program logs for an open diode: the registers' highest reading, 0xFF/0xE0, in the
// normal and the extended range. A real 191.75 °C in the normal range replays as open too.
bool isOpenDiodeReading(double celsius) {
    return celsius == 255.75 || celsius == 191.75;
}

bool refuse(std::string& error, size_t line, const std::string& why) {
    error = LineRef(line) + why;
    return false;
}

// A recorded temperature: a number, or none (empty cell, fault) for an open remote diode.
// Empty text when accepted.
std::string channelValue(int channel, std::optional<double> celsius, bool fault, RecordedSample& sample) {
    if (celsius && !fault && !(channel > 0 && isOpenDiodeReading(*celsius))) {
        sample.celsius[static_cast<size_t>(channel)] = celsius;
        return {};
    }
    if (channel == 0)
        return "the local channel has no diode to be open: a number is needed";
    sample.celsius[static_cast<size_t>(channel)].reset();
    return {};
}

class RunCollector {
public:
    // Empty when the sample follows the one before it in time.
    std::string add(RecordedSample sample) {
        if (!std::isfinite(sample.seconds) || sample.seconds < 0)
            return "the time is not a number of seconds";
        if (!current_.empty() && sample.seconds < current_.back().seconds)
            return "the time goes back";
        current_.push_back(sample);
        return {};
    }
    void startRun() {
        if (started_)
            runs_.push_back(std::move(current_));
        current_.clear();
        started_ = true;
    }
    std::vector<std::vector<RecordedSample>> finish() {
        startRun();
        return std::move(runs_);
    }

private:
    bool started_ = false;
    std::vector<RecordedSample> current_;
    std::vector<std::vector<RecordedSample>> runs_;
};

// «Time ,Local(°C) ,Remote1(°C) ,» with "°" as 0xB0 (or in UTF-8, after a conversion).
std::optional<std::array<bool, 3>> programColumns(std::string_view line) {
    const auto fields = CsvFields(line);
    if (!fields || fields->size() < 3 || TrimBlanks(fields->front()) != "Time" ||
        !TrimBlanks(fields->back()).empty())
        return std::nullopt;
    std::array<bool, 3> channels{};
    size_t next = 0;
    const auto matches = [](std::string_view title, size_t channel) {
        const std::string name = kProgramTitles[channel];
        return title == name + "(\xB0" + "C)" || title == name + "(\xC2\xB0" + "C)";
    };
    for (size_t i = 1; i + 1 < fields->size(); ++i) {
        const std::string_view title = TrimBlanks((*fields)[i]);
        while (next < 3 && !matches(title, next))
            ++next;
        if (next == 3)
            return std::nullopt;
        channels[next++] = true;
    }
    return channels;
}

bool parseProgramLog(const std::vector<std::string_view>& lines, std::array<bool, 3>& channels,
                     std::vector<std::vector<RecordedSample>>& runs, std::string& error) {
    RunCollector collect;
    bool sawRun = false;
    std::optional<std::array<bool, 3>> columns;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = TrimBlanks(lines[i]);
        if (line == "OTK5530 Log File") {
            // The title block: a blank line, then the column titles.
            if (i + 2 >= lines.size() || !TrimBlanks(lines[i + 1]).empty())
                return refuse(error, i, "the title block ends too early");
            columns = programColumns(lines[i + 2]);
            if (!columns)
                return refuse(error, i + 2,
                              "expected the column titles Time ,Local(\xB0"
                              "C) ,... ,");
            if (!sawRun) {
                channels = *columns;
            } else if (*columns != channels) {
                return refuse(error, i + 2, "the runs of one file must log the same channels");
            }
            collect.startRun();
            sawRun = true;
            i += 2;
            continue;
        }
        if (line.empty())
            continue;
        if (!columns)
            return refuse(error, i, "expected the title block \"OTK5530 Log File\" first");
        const auto fields = CsvFields(lines[i]);
        const size_t count = static_cast<size_t>(std::count(channels.begin(), channels.end(), true));
        if (!fields || fields->size() != count + 2 || !TrimBlanks(fields->back()).empty())
            return refuse(error, i,
                          "expected the time and " + std::to_string(count) +
                              " temperatures, each with a comma");
        RecordedSample sample;
        const std::optional<double> seconds = DecimalNumber((*fields)[0]);
        if (!seconds)
            return refuse(error, i, "the time is not a number of seconds");
        sample.seconds = *seconds;
        size_t field = 1;
        for (int c = 0; c < 3; ++c) {
            if (!channels[static_cast<size_t>(c)])
                continue;
            const std::string& text = (*fields)[field++];
            const std::optional<double> celsius = DecimalNumber(text);
            if (!celsius && !TrimBlanks(text).empty())
                return refuse(error, i,
                              std::string(kChannelNames[c]) + ": \"" + text + "\" is no temperature");
            const std::string why = channelValue(c, celsius, false, sample);
            if (!why.empty())
                return refuse(error, i, why);
        }
        const std::string why = collect.add(sample);
        if (!why.empty())
            return refuse(error, i, why);
    }
    runs = collect.finish();
    if (runs.empty())
        return refuse(error, 0, "no run in the file");
    return true;
}

bool parseToolCsv(const std::vector<std::string_view>& lines, std::array<bool, 3>& channels,
                  std::vector<RecordedSample>& samples, std::string& error) {
    const auto titles = CsvFields(lines[0]);
    const auto column = [&](const std::string& name) { return CsvColumn(titles, name); };
    const std::optional<size_t> scheduleAt = column("schedule (s)");
    std::array<std::optional<size_t>, 3> valueAt, statusAt;
    for (size_t c = 0; c < 3; ++c) {
        valueAt[c] = column(std::string(kChannelNames[c]) + " (\xC2\xB0" + "C)");
        statusAt[c] = column(std::string(kChannelNames[c]) + " status");
        channels[c] = valueAt[c].has_value();
    }
    if (!scheduleAt || std::none_of(channels.begin(), channels.end(), [](bool on) { return on; }))
        return refuse(error, 0,
                      "expected the columns schedule (s) and at least one channel such as local (\xC2\xB0"
                      "C)");
    RunCollector collect;
    collect.startRun();
    size_t line = 0;
    const std::string why = EachCsvRow(
        lines, titles->size(),
        [&](const std::vector<std::string>& fields) -> std::string {
            RecordedSample sample;
            const std::optional<double> seconds = DecimalNumber(fields[*scheduleAt]);
            if (!seconds)
                return "the schedule is not a number of seconds";
            sample.seconds = *seconds;
            for (size_t c = 0; c < 3; ++c) {
                if (!channels[c])
                    continue;
                const std::string& text = fields[*valueAt[c]];
                const std::optional<double> celsius = DecimalNumber(text);
                if (!celsius && !text.empty())
                    return std::string(kChannelNames[c]) + ": \"" + text + "\" is no temperature";
                const bool fault =
                    statusAt[c] && fields[*statusAt[c]].find("open diode") != std::string::npos;
                const std::string refused = channelValue(static_cast<int>(c), celsius, fault, sample);
                if (!refused.empty())
                    return refused;
            }
            return collect.add(sample);
        },
        line);
    if (!why.empty())
        return refuse(error, line, why);
    samples = collect.finish().front();
    return true;
}

// One row object of the tool's JSON log: «"schedule": {"value": 0.25}», «"remote1": {"value":
// null, "fault": "open diode"}». Empty text when accepted.
std::string jsonSample(const JsonValue& row, std::array<bool, 3>& channels, bool first,
                       RecordedSample& sample) {
    const JsonValue* schedule = row.find("schedule");
    const JsonValue* seconds = schedule ? schedule->find("value") : nullptr;
    if (row.kind != JsonValue::Kind::Object || !seconds || seconds->kind != JsonValue::Kind::Number)
        return "expected a row with \"schedule\": {\"value\": seconds}";
    sample.seconds = seconds->number;
    for (size_t c = 0; c < 3; ++c) {
        const JsonValue* channel = row.find(kChannelNames[c]);
        if (first)
            channels[c] = channel != nullptr;
        if ((channel != nullptr) != channels[c])
            return "every row must hold the channels of the first";
        if (!channel)
            continue;
        const JsonValue* value = channel->find("value");
        if (!value || (value->kind != JsonValue::Kind::Number && value->kind != JsonValue::Kind::Null))
            return std::string(kChannelNames[c]) + ": expected {\"value\": a number or null}";
        const std::optional<double> celsius =
            value->kind == JsonValue::Kind::Number ? std::optional<double>(value->number) : std::nullopt;
        const std::string why =
            channelValue(static_cast<int>(c), celsius, channel->find("fault") != nullptr, sample);
        if (!why.empty())
            return why;
    }
    if (std::none_of(channels.begin(), channels.end(), [](bool on) { return on; }))
        return "the row holds no channel";
    return {};
}

bool parseToolJson(std::string_view text, std::array<bool, 3>& channels, std::vector<RecordedSample>& samples,
                   std::string& error) {
    std::vector<std::pair<JsonValue, size_t>> rows;
    if (!ToolJsonRows(text, rows, error))
        return false;
    RunCollector collect;
    collect.startRun();
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto& [row, line] = rows[i];
        // A run the lost link ended closes with {"error": ...}: the readings before it stand.
        if (row.find("error") && row.members.size() == 1) {
            if (i + 1 != rows.size())
                return refuse(error, rows[i + 1].second, "a reading after the run's error line");
            break;
        }
        RecordedSample sample;
        std::string why = jsonSample(row, channels, i == 0, sample);
        if (why.empty())
            why = collect.add(sample);
        if (!why.empty())
            return refuse(error, line, why);
    }
    samples = collect.finish().front();
    if (samples.empty())
        return refuse(error, 0, "no reading");
    return true;
}

} // namespace

const RecordedSample& RecordedRun::at(double seconds, bool loop) const {
    const size_t count = samples.size();
    if (loop && count > 1) {
        const double length = 2 * samples.back().seconds - samples[count - 2].seconds;
        if (length > 0)
            seconds = std::fmod(seconds, length);
    }
    const auto after =
        std::upper_bound(samples.begin(), samples.end(), seconds,
                         [](double t, const RecordedSample& sample) { return t < sample.seconds; });
    return after == samples.begin() ? samples.front() : *(after - 1);
}

bool ParseRecordedRun(std::string_view text, std::optional<int> runNumber, RecordedRun& run,
                      std::string& error) {
    const std::vector<std::string_view> lines = TextLines(text);
    const size_t first = FirstTextLine(lines);
    if (first == lines.size()) {
        error = "the file is empty";
        return false;
    }
    RecordedRun parsed;
    std::vector<std::vector<RecordedSample>> runs;
    const std::string_view head = TrimBlanks(lines[first]);
    bool ok = false;
    if (head == "OTK5530 Log File") {
        ok = parseProgramLog(lines, parsed.channels, runs, error);
    } else if (first == 0 && head.rfind("time,schedule (s),", 0) == 0) {
        runs.emplace_back();
        ok = parseToolCsv(lines, parsed.channels, runs.back(), error);
    } else if (first == 0 && head.front() == '{') {
        runs.emplace_back();
        ok = parseToolJson(text, parsed.channels, runs.back(), error);
    } else {
        return refuse(error, first,
                      "not a recorded run (the program's log, or otk5530-cli log as CSV, NDJSON or JSON)");
    }
    if (!ok)
        return false;
    parsed.runCount = static_cast<int>(runs.size());
    const int chosen = runNumber.value_or(parsed.runCount);
    if (chosen < 1 || chosen > parsed.runCount) {
        error = "replay_run=" + std::to_string(chosen) + ": the file holds " +
                std::to_string(parsed.runCount) + (parsed.runCount == 1 ? " run" : " runs");
        return false;
    }
    parsed.samples = runs[static_cast<size_t>(chosen - 1)];
    if (parsed.samples.empty()) {
        error = "run " + std::to_string(chosen) + " holds no reading";
        return false;
    }
    const double start = parsed.samples.front().seconds;
    for (RecordedSample& sample : parsed.samples)
        sample.seconds -= start;
    run = parsed;
    return true;
}
