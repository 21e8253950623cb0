#pragma once
// Views that record what the application shell asks of them, a progress display
// for the connection sequence, and the test settings folder.
#include "app/Announcements.h"
#include "app/ConnectionSequence.h"
#include "device/ViewRegistry.h"

#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <utility>
#include <vector>

// A shared record of calls, so the order across views shows.
using CallLog = QStringList;

class FakeLimits : public LimitsView {
public:
    explicit FakeLimits(CallLog* callLog = nullptr) : log(callLog) {}
    void setLamp(int index, bool on) override {
        lamps.push_back({index, on});
        if (log)
            log->append(QString("lamp %1").arg(index));
    }
    void showReading(const Reading& reading) override {
        for (int i = 0; i < 3; ++i) {
            gauges.push_back({i, reading.temperatures[i]});
            if (log)
                log->append(QString("gauge %1").arg(i));
        }
    }
    struct Lamp {
        int index;
        bool on;
    };
    struct Gauge {
        int index;
        float temperature;
    };
    std::vector<Lamp> lamps;
    std::vector<Gauge> gauges;
    CallLog* log;
};

class FakeGraph : public GraphView {
public:
    explicit FakeGraph(CallLog* callLog = nullptr) : log(callLog) {}
    void showReading(const Reading& reading) override {
        for (int trace = 1; trace <= 3; ++trace) {
            samples.push_back({trace, reading.temperatures[trace - 1]});
            if (log)
                log->append(QString("sample %1").arg(trace));
        }
    }
    void statusRead(uint8_t status1, uint8_t status2) override { statusReads.push_back({status1, status2}); }
    struct Sample {
        int trace;
        double value;
    };
    std::vector<Sample> samples;
    std::vector<std::pair<uint8_t, uint8_t>> statusReads;
    CallLog* log;
};

class FakeRegMap : public RegMapView {
public:
    explicit FakeRegMap(CallLog* callLog = nullptr) : log(callLog) {}
    bool continuousReadTicked() const override { return ticked; }
    void ReadAction() override {
        ++readActions;
        if (log)
            log->append("regmap read");
    }
    bool ticked = true;
    int readActions = 0;
    CallLog* log;
};

// The master timer, and the status texts as the shell would show them.
class FakeMainWindow : public MainWindowView {
public:
    FakeMainWindow() {
        QObject::connect(&Announcements::program(), &Announcements::statusText, &receiver,
                         [this](const QString& text) { statusTexts.append(text); });
    }
    void setMasterTimerEnabled(bool enabled) override { timerEnabled = enabled; }
    bool masterTimerEnabled() const override { return timerEnabled; }
    QStringList statusTexts;
    bool timerEnabled = false;

private:
    QObject receiver; // ends the connection with the fake
};

class FakeProgress : public ConnectionProgress {
public:
    double progressFullWidth() const override { return fullWidth; }
    void showProgress() override { shown = true; }
    void setProgressText(const QString& text) override { texts.append(text); }
    void setProgressWidth(double width) override { widths.push_back(width); }
    double fullWidth = 400;
    bool shown = false;
    QStringList texts;
    std::vector<double> widths;
};

// Points the per-user settings store at a fresh temporary folder for one test.
class TestSettingsFolder {
public:
    TestSettingsFolder() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path()); }
    QString path() const { return dir.path(); }

private:
    QTemporaryDir dir;
};
