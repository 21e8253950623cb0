#include "views/GraphSettings.h"

#include <QSettings>
#include <cmath>
#include <optional>

namespace {

const QString kSection = QStringLiteral("Graph");

std::optional<double> StoredNumber(const QVariant& stored) {
    bool ok = false;
    const double value = stored.toString().trimmed().toDouble(&ok);
    if (!stored.isValid() || !ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool StoredSwitch(const QVariant& stored, bool defaultValue) {
    const QString text = stored.toString().trimmed();
    if (text == "1")
        return true;
    if (text == "0")
        return false;
    return defaultValue;
}

} // namespace

GraphSettings ReadGraphSettings(QSettings& settings) {
    GraphSettings graph;
    settings.beginGroup(kSection);
    const std::optional<double> span = StoredNumber(settings.value("TimeSpan"));
    if (span && *span >= kMinTimeSpan && *span <= kHistorySeconds)
        graph.timeSpan = *span;
    const std::optional<double> low = StoredNumber(settings.value("TemperatureLow"));
    const std::optional<double> high = StoredNumber(settings.value("TemperatureHigh"));
    // The two ends only together: one end alone could make a range the handles never would.
    if (low && high && *low >= kLowestTemperature && *high <= kHighestTemperature &&
        *high - *low >= kMinTemperatureRange)
        graph.range = {*low, *high};
    graph.cursors = StoredSwitch(settings.value("Cursors"), graph.cursors);
    graph.statistics = StoredSwitch(settings.value("Statistics"), graph.statistics);
    graph.limitLines = StoredSwitch(settings.value("LimitLines"), graph.limitLines);
    graph.alarmMarks = StoredSwitch(settings.value("AlarmMarks"), graph.alarmMarks);
    settings.endGroup();
    return graph;
}

void WriteGraphSettings(QSettings& settings, const GraphSettings& graph) {
    settings.beginGroup(kSection);
    settings.setValue("TimeSpan", QString::number(graph.timeSpan, 'g', 17));
    settings.setValue("TemperatureLow", QString::number(graph.range.low, 'g', 17));
    settings.setValue("TemperatureHigh", QString::number(graph.range.high, 'g', 17));
    settings.setValue("Cursors", graph.cursors ? "1" : "0");
    settings.setValue("Statistics", graph.statistics ? "1" : "0");
    settings.setValue("LimitLines", graph.limitLines ? "1" : "0");
    settings.setValue("AlarmMarks", graph.alarmMarks ? "1" : "0");
    settings.endGroup();
    settings.sync();
}
