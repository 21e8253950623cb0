// The adapter requests of each user action with every view open and every chart function
// on: first the action's own sequence, then, only after it, the views that follow a write
// made elsewhere read once.
#include "app/Delay.h"
#include "app/Main.h"
#include "app/frmMain.h"
#include "chip/ChipRegisters.h"
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "device/SettingsStore.h"
#include "device/USBStuff.h"
#include "files/SettingsFile.h"
#include "files/frmSave.h"
#include "support/FilesTestSupport.h"
#include "support/ScriptedAdapter.h"
#include "ui/AppMessages.h"
#include "views/GraphSettings.h"
#include "views/TempGauge.h"
#include "views/frmConfig.h"
#include "views/frmGraph.h"
#include "views/frmLimits.h"
#include "views/frmRegMap.h"
#include "views/frmRegOverview.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {
constexpr int32_t kChip = 0x4C;

QString readOf(int32_t reg) {
    return QString("R%1").arg(reg, 2, 16, QChar('0')).toUpper();
}

QString writeOf(int32_t reg, int32_t data) {
    return QString("W%1=%2").arg(reg, 2, 16, QChar('0')).arg(data, 2, 16, QChar('0')).toUpper();
}

// Register reads as "R06", writes as "W0C=14", in request order.
QStringList trace(const ScriptedAdapter& adapter) {
    QStringList lines;
    for (const AdapterRequest& r : adapter.requests) {
        if (r.request != 0xDE)
            continue;
        lines << (r.direction == 1 ? readOf(r.index) : writeOf(r.index & 0xFF, (r.index >> 8) & 0xFF));
    }
    return lines;
}

QStringList reads(std::initializer_list<int32_t> regs) {
    QStringList lines;
    for (const int32_t reg : regs)
        lines << readOf(reg);
    return lines;
}

// The three gauges' limit registers in their read order.
const QStringList kLocalLimits = reads({0x06, 0x05, 0x20});
const QStringList kAllLimits =
    kLocalLimits + reads({0x08, 0x14, 0x07, 0x13, 0x19}) + reads({0x32, 0x37, 0x31, 0x36, 0x39});

// The per-user settings store in a fresh folder for one test.
struct SettingsFolder {
    SettingsFolder() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path()); }
    QTemporaryDir dir;
};

void storeEveryChartFunctionOn() {
    const std::unique_ptr<QSettings> settings = OpenMainSettings();
    WriteGraphSettings(*settings, GraphSettings{true, true, true, true});
}

class ChangeTraces : public ::testing::Test {
public:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        RegMapStuff::BuildRegisterTable();
        adapter = InstallScriptedAdapter();
        adapter->readAddressOf = TableReadAddressOf;
        ThrowOnLinkError();
        GeneralStuff::DeviceAddress = kChip;
        USBStuff::SetApplicationFolder(files.path());
        storeEveryChartFunctionOn();
        // As at start-up: the graph, then the device model; the other views after.
        graph.Form_Load();
        graph.show();
        GeneralStuff::InitDeviceModel();
        for (QWidget* view : std::initializer_list<QWidget*>{&limits, &config, &regMap, &overview, &save})
            view->show();
        limits.Form_Load();
        config.Form_Load();
        regMap.Form_Load();
        overview.Form_Load();
        save.Form_Load();
        // The register map shows the Local low limit.
        type(&regMap, "txtReadAddr", "6");
        QTest::mouseClick(regMap.findChild<QPushButton*>("cmdRead"), Qt::LeftButton);
        adapter->clearLog();
    }
    void TearDown() override { StopAnswering(); }

    static void type(QWidget* form, const char* box, const QString& text) {
        auto* edit = form->findChild<QLineEdit*>(box);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    void recallFullFile() {
        const QString path = files.filePath("full.sav");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        int next = 0;
        file.write(SettingsFileBytes(SettingsHeaderLines("", QDateTime()),
                                     SettingsEntries(false, [&next](int32_t) { return (next++ * 7) % 64; })));
        file.close();
        AnswerFileDialog(path);
        QTest::mouseClick(save.findChild<QPushButton*>("cmdRecall"), Qt::LeftButton);
    }

    SettingsFolder settingsFolder;
    QTemporaryDir files;
    ScriptedAdapter* adapter = nullptr;
    frmGraph graph;
    frmLimits limits;
    frmConfig config;
    frmRegMap regMap;
    frmRegOverview overview;
    frmSave save;
};

// The followers hear in the order they subscribed: the limits window, the configuration
// dialog and the register map (each when it was made), then the graph's limit lines (when
// the graph loaded with them stored on).
TEST_F(ChangeTraces, EachActionsOwnSequenceThenTheViewsReadOnce) {
    const QStringList configuration = reads({0x03, 0x04, 0x24, 0x21});
    struct Row {
        const char* action;
        std::function<void(ChangeTraces&)> act;
        QStringList own;       // the action's specified requests
        QStringList followers; // the views' re-reads, after the action
    };
    QStringList recalled; // every entry in file order; Configuration Reg 1 first, with its update
    int next = 0;
    for (const SettingsEntry& entry :
         SettingsEntries(false, [&next](int32_t) { return (next++ * 7) % 64; })) {
        recalled << writeOf(entry.writeAddr, entry.value);
        if (entry.writeAddr == kConfig1Write)
            recalled << readOf(kConfig1Read) << kAllLimits;
    }
    const Row rows[] = {
        {"remote slider drag",
         [](ChangeTraces& t) { QTest::keyClick(t.limits.findChild<TempGauge*>("ggeTemp_1"), Qt::Key_Up); },
         QStringList{"W0E=32", "W14=C0", "W0D=50", "W13=40", "W19=5F"} + kAllLimits, kAllLimits},
        {"local slider drag",
         [](ChangeTraces& t) { QTest::keyClick(t.limits.findChild<TempGauge*>("ggeTemp_0"), Qt::Key_Up); },
         QStringList{"W0C=0B", "W0B=50", "W20=55"} + kAllLimits, reads({0x06}) + kAllLimits},
        {"register-map write",
         [](ChangeTraces& t) {
             ChangeTraces::type(&t.regMap, "txtWriteAddr", "C");
             ChangeTraces::type(&t.regMap, "txtHex", "14");
             QTest::mouseClick(t.regMap.findChild<QPushButton*>("cmdWrite"), Qt::LeftButton);
         },
         QStringList{"W0C=14", "R06"}, kLocalLimits + kAllLimits},
        {"Apply in the configuration dialog",
         [](ChangeTraces& t) {
             QTest::mouseClick(t.config.findChild<QCheckBox*>("chkExtRange"), Qt::LeftButton);
             QTest::mouseClick(t.config.findChild<QPushButton*>("cmdApply"), Qt::LeftButton);
         },
         QStringList{"R03", "W09=04", "R03"} + kAllLimits +
             QStringList{"R04", "W0A=08", "R24", "W24=00", "W21=0A"},
         kAllLimits},
        {"Apply refusing a negative hysteresis: its message comes before any view reads",
         [](ChangeTraces& t) {
             ChangeTraces::type(&t.config, "txtTHERMHyst", "-5");
             QTest::mouseClick(t.config.findChild<QPushButton*>("cmdApply"), Qt::LeftButton);
         },
         QStringList{"R03", "W09=00", "R03"} + kAllLimits +
             QStringList{"R04", "W0A=08", "R24", "W24=00", "R21"},
         kAllLimits},
        {"recall of a full file", [](ChangeTraces& t) { t.recallFullFile(); }, recalled,
         kAllLimits + configuration + reads({0x06}) + kAllLimits},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.action);
        // The same chip before each action, so each row's bytes are its own.
        const std::pair<int32_t, uint8_t> chip[] = {
            {0x03, 0x00}, {0x04, 0x08}, {0x24, 0x00}, {0x21, 0x0A}, {0x06, 10},   {0x05, 80},
            {0x20, 85},   {0x08, 50},   {0x14, 0x80}, {0x07, 80},   {0x13, 0x40}, {0x19, 95},
            {0x32, 5},    {0x37, 0},    {0x31, 70},   {0x36, 0xC0}, {0x39, 90}};
        for (const auto& [reg, value] : chip)
            adapter->setRegister(kChip, reg, value);
        USBStuff::WriteRegister(kChip, kConfig1Write, 0x00);
        config.Form_Load();
        adapter->clearLog();
        qsizetype requestsAtMessage = -1;
        SetWarningMessageFunction([&](const QString&) {
            requestsAtMessage = trace(*adapter).size();
            QCoreApplication::processEvents(); // as the message's own event loop would
        });
        row.act(*this);
        SetWarningMessageFunction({});
        EXPECT_EQ(trace(*adapter).join(' ').toStdString(), (row.own + row.followers).join(' ').toStdString());
        if (requestsAtMessage >= 0) {
            EXPECT_EQ(requestsAtMessage, row.own.size());
        }
    }
}

// Stored on, the limit lines wait for the device model: their reads come after its
// read of Configuration Reg 1, decoded in the range it found.
TEST(ChangeTracesAtStartUp, LimitLinesReadAfterTheDeviceModelReadsConfigurationReg1) {
    SettingsFolder settingsFolder;
    storeEveryChartFunctionOn();
    GeneralStuff::ResetSharedState();
    ScriptedAdapter* adapter = InstallScriptedAdapter();
    ThrowOnLinkError();
    GeneralStuff::SetDelayFunction([](float) {});
    adapter->setRegister(kChip, 0xFE, 0x41);
    adapter->setRegister(kChip, kConfig1Read, kConfig1ExtendedRange);
    frmMain* main = GeneralStuff::Main();
    const QStringList requests = trace(*adapter);
    const qsizetype config1 = requests.indexOf(readOf(kConfig1Read));
    ASSERT_GE(config1, 0) << requests.join(' ').toStdString();
    for (const QString& limit : kAllLimits)
        EXPECT_FALSE(requests.first(config1).contains(limit)) << limit.toStdString();
    EXPECT_EQ(requests.mid(config1 + 1), kAllLimits);
    main->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    GeneralStuff::SetDelayFunction({});
    GeneralStuff::ResetSharedState();
}

} // namespace
