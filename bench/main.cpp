#include "AppLifetime.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <vector>

namespace {
std::vector<std::function<void()>>& releases() {
    static std::vector<std::function<void()>> list;
    return list;
}
} // namespace

void RunBeforeApplicationEnds(std::function<void()> release) {
    releases().push_back(std::move(release));
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The graph reads what it showed last from the settings store: a store of this run keeps the user's out.
    const QTemporaryDir settingsFolder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& release : releases())
        release();
    return 0;
}
