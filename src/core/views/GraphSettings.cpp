#include "views/GraphSettings.h"

#include <QSettings>

namespace {

const QString kSection = QStringLiteral("Graph");

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
    graph.cursors = StoredSwitch(settings.value("Cursors"), graph.cursors);
    graph.statistics = StoredSwitch(settings.value("Statistics"), graph.statistics);
    graph.limitLines = StoredSwitch(settings.value("LimitLines"), graph.limitLines);
    graph.alarmMarks = StoredSwitch(settings.value("AlarmMarks"), graph.alarmMarks);
    settings.endGroup();
    return graph;
}

void WriteGraphSettings(QSettings& settings, const GraphSettings& graph) {
    settings.beginGroup(kSection);
    settings.setValue("Cursors", graph.cursors ? "1" : "0");
    settings.setValue("Statistics", graph.statistics ? "1" : "0");
    settings.setValue("LimitLines", graph.limitLines ? "1" : "0");
    settings.setValue("AlarmMarks", graph.alarmMarks ? "1" : "0");
    settings.endGroup();
    settings.sync();
}
