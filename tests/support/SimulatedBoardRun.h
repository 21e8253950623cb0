#pragma once
// The whole program in the test's own process on the simulated board, as start-up
// leaves the link: a fake clock in milliseconds that the simulated chip converts by
// too, link errors and warning boxes recorded instead of ending the run or waiting,
// a settings store and a folder of the test's own.
#include "adapter/SimBoard.h"
#include "adapter/USBFunctions.h"
#include "adapter/VendorRequests.h"
#include "app/frmMain.h"
#include "device/Clock.h"
#include "device/GeneralStuff.h"
#include "support/AppFakes.h"
#include "support/ScriptedAdapter.h"
#include "ui/AppMessages.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class SimulatedBoardRun : public ::testing::Test {
protected:
    // simConfig as OTK5530_SIM takes it; the clock starts startMs after midnight.
    SimulatedBoardRun(std::string simConfig, qint64 startMs)
        : nowMs(startMs), simConfigText(std::move(simConfig)) {}

    void SetUp() override {
        GeneralStuff::ResetSharedState();
        // Fixed-offset times: a zone-converted one asks the system's zone file every tick.
        Clock::SetLocalNowSource(
            [this] { return QDateTime(QDate(2026, 1, 5), QTime(0, 0), Qt::UTC).addMSecs(nowMs); });
        SimConfig config;
        std::string error;
        ASSERT_TRUE(ParseSimConfig(simConfigText, config, error)) << error;
        InstallAdapter(std::make_unique<SimBoard>(config, [this] { return nowMs / 1000.0; }));
        ThrowOnLinkError(&linkErrors);
        SetWarningMessageFunction([this](const QString& text) { warnings << text; });
        uint8_t noData = 0;
        ASSERT_EQ(USBFunctions::VendorIORequest(VendorRequest::BusSetUp, VendorRequest::BusSetUpValue,
                                                VendorRequest::BusSetUpIndex, 0, 0, &noData),
                  0);
        GeneralStuff::DeviceAddress = 0x4C;
    }
    void TearDown() override {
        SetWarningMessageFunction({});
        Clock::SetLocalNowSource({});
        InstallAdapter(nullptr);
        GeneralStuff::ResetSharedState();
    }

    // The main window shown and the device model read, as start-up leaves them.
    static void startProgram(frmMain& main) {
        main.show();
        GeneralStuff::InitDeviceModel();
    }
    // Runs the monitoring cycle every stepMs until the clock reaches untilMs.
    void tickUntil(frmMain& main, qint64 untilMs, qint64 stepMs) {
        for (; nowMs < untilMs; nowMs += stepMs)
            main.monitoringCycle().tick();
    }

    qint64 nowMs;
    std::vector<int16_t> linkErrors;
    QStringList warnings;
    TestSettingsFolder settings;
    QTemporaryDir folder;

private:
    std::string simConfigText;
};

// Fields 1..3 (the three temperatures) of each data row of a log, trimmed.
inline std::vector<QStringList> LogDataRows(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    std::vector<QStringList> rows;
    bool pastTitles = false;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("Time ,"))
            pastTitles = true;
        else if (pastTitles && line.count(',') == 4) {
            QStringList row;
            for (const QString& field : QString::fromLatin1(line).split(',').mid(1, 3))
                row << field.trimmed();
            rows.push_back(row);
        }
    }
    return rows;
}
