#pragma once
// Views that record what the application shell asks of them, a progress display
// for the connection sequence, and the test settings folder.
#include "app/Announcements.h"
#include "app/ConnectionSequence.h"
#include "app/MonitoringCycle.h"
#include "chip/StatusBits.h"

#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <utility>
#include <vector>

// A shared record of calls, so the order across views shows.
using CallLog = QStringList;

// Each fake hears the monitoring cycle's announcements from its construction; the cycle
// makes them only while the view's open flag is set.
class FakeLimits {
public:
    explicit FakeLimits(CallLog* callLog = nullptr) : log(callLog) {
        Announcements& announcements = Announcements::program();
        QObject::connect(&announcements, &Announcements::statusRegisterRead, &receiver,
                         [this](int32_t statusRegister, uint8_t status) {
                             for (const LampSetting& lamp : LampsOfStatusRead(statusRegister, status)) {
                                 lamps.push_back({lamp.lamp, lamp.on});
                                 if (log)
                                     log->append(QString("lamp %1").arg(lamp.lamp));
                             }
                         });
        QObject::connect(&announcements, &Announcements::gaugesDue, &receiver,
                         [this](const Reading& reading) {
                             for (int i = 0; i < 3; ++i) {
                                 gauges.push_back({i, reading.temperatures[i]});
                                 if (log)
                                     log->append(QString("gauge %1").arg(i));
                             }
                         });
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

private:
    QObject receiver; // ends the connections with the fake
};

class FakeGraph {
public:
    explicit FakeGraph(CallLog* callLog = nullptr) : log(callLog) {
        Announcements& announcements = Announcements::program();
        QObject::connect(&announcements, &Announcements::graphDue, &receiver,
                         [this](const Reading& reading, double longestSampleGap) {
                             gaps.push_back(longestSampleGap);
                             for (int trace = 1; trace <= 3; ++trace) {
                                 samples.push_back({trace, reading.temperatures[trace - 1]});
                                 if (log)
                                     log->append(QString("sample %1").arg(trace));
                             }
                         });
        QObject::connect(&announcements, &Announcements::statusRead, &receiver,
                         [this](uint8_t status1, uint8_t status2) {
                             statusReads.push_back({status1, status2});
                         });
    }
    struct Sample {
        int trace;
        double value;
    };
    std::vector<Sample> samples;
    std::vector<double> gaps;
    std::vector<std::pair<uint8_t, uint8_t>> statusReads;
    CallLog* log;

private:
    QObject receiver;
};

// The register map window's share of the cycle: its box (give the cycle `box()`) and its Read action.
class FakeRegMap {
public:
    explicit FakeRegMap(CallLog* callLog = nullptr) : log(callLog) {
        QObject::connect(&Announcements::program(), &Announcements::regMapReadDue, &receiver, [this] {
            ++readActions;
            if (log)
                log->append("regmap read");
        });
    }
    MonitoringCycle::BoxReader box() const {
        return [this] { return ticked; };
    }
    bool ticked = true;
    int readActions = 0;
    CallLog* log;

private:
    QObject receiver;
};

// The status texts as the shell would show them.
class FakeMainWindow {
public:
    FakeMainWindow() {
        QObject::connect(&Announcements::program(), &Announcements::statusText, &receiver,
                         [this](const QString& text) { statusTexts.append(text); });
    }
    QStringList statusTexts;

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
