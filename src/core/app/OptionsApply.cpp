#include "app/OptionsApply.h"

#include "app/Announcements.h"
#include "device/GeneralStuff.h"
#include "device/NumberText.h"
#include "files/LogGrid.h"

namespace {
bool logIntervalTooShort(const QString& text) {
    const std::optional<int32_t> log = WholeValueOfText32(text);
    return log && *log < kShortestLogInterval;
}

std::vector<OptionField> applyOptionTexts(const OptionTexts& texts) {
    GeneralStuff::ContinuousReading = texts.continuousReading;
    const std::optional<int32_t> read = WholeValueOfText32(texts.readInterval);
    if (!read)
        return {OptionField::ReadInterval};
    GeneralStuff::ReadInterval = *read;
    std::vector<OptionField> refused;
    const std::optional<int32_t> log = WholeValueOfText32(texts.logInterval);
    if (!log)
        return {OptionField::LogInterval};
    // A log line every tick, or a negative time column: this field alone is refused.
    if (*log < kShortestLogInterval)
        refused.push_back(OptionField::LogInterval);
    else
        GeneralStuff::LogInterval = *log;
    const std::optional<int16_t> graph = WholeValueOfText16(texts.graphInterval);
    if (!graph)
        refused.push_back(OptionField::GraphInterval);
    else
        GeneralStuff::GraphInterval = *graph;
    return refused;
}
} // namespace

OptionTexts CurrentOptionTexts() {
    return {GeneralStuff::ContinuousReading, TrimmedNumber(static_cast<double>(GeneralStuff::ReadInterval)),
            TrimmedNumber(static_cast<double>(GeneralStuff::LogInterval)),
            TrimmedNumber(static_cast<double>(GeneralStuff::GraphInterval))};
}

std::vector<OptionField> ApplyOptionTexts(const OptionTexts& texts) {
    const std::vector<OptionField> refused = applyOptionTexts(texts);
    emit Announcements::program().cycleSettingsChanged();
    return refused;
}

QString OptionRefusedMessage(OptionField field, const QString& text) {
    if (field == OptionField::LogInterval && logIntervalTooShort(text))
        return QString("The logging interval \"%1\" is too short. Enter a number of milliseconds of at least "
                       "%2.\n"
                       "The logging interval keeps its previous value.")
            .arg(text)
            .arg(kShortestLogInterval);
    QString name;
    QString range;
    switch (field) {
    case OptionField::ReadInterval:
        name = "reading interval";
        range = "-2147483648 and 2147483647";
        break;
    case OptionField::LogInterval:
        name = "logging interval";
        range = QString("%1 and 2147483647").arg(kShortestLogInterval);
        break;
    case OptionField::GraphInterval:
        name = "graphing interval";
        range = "-32768 and 32767";
        break;
    }
    return QString("The %1 \"%2\" is out of range. Enter a number of milliseconds between %3.\n"
                   "The %1 keeps its previous value.")
        .arg(name, text, range);
}
