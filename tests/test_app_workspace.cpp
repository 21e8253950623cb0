#include "app/Capture.h"
#include "app/Unattended.h"
#include "app/WorkspaceWindows.h"
#include "chip/ChipRegisters.h"
#include "device/ChipAccess.h"
#include "device/RegMapStuff.h"
#include "files/SettingsFile.h"
#include "support/SimulatedBoardRun.h"
#include "views/ChartReadout.h"
#include "views/StripChart.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <qcustomplot.h>

namespace {
// Answers the program's file dialog when it shows: the tick boxes as asked, the name typed, accepted.
// What the dialog offered goes to `offered`.
void AnswerFileDialog(const QString& path, QList<bool> ticks, QStringList* offered = nullptr) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [=] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            if (!dialog || dialog->objectName() != "CommonDialog1" || !dialog->isVisible())
                continue;
            poll->stop();
            poll->deleteLater();
            if (offered)
                *offered = dialog->nameFilters();
            for (int i = 0; i < ticks.size(); ++i)
                if (auto* option = dialog->findChild<QCheckBox*>(QString("chkDialogOption_%1").arg(i)))
                    option->setChecked(ticks[i]);
            // Typed into the name box in the file's folder, as a user does: selectFile() races
            // the dialog's own folder listing, which may put its name back meanwhile.
            dialog->setDirectory(QFileInfo(path).absolutePath());
            auto* nameBox = dialog->findChild<QLineEdit*>("fileNameEdit");
            nameBox->clear();
            QTest::keyClicks(nameBox, QFileInfo(path).fileName());
            static_cast<QDialog*>(dialog)->accept();
            // A dialog that refused the name would otherwise wait for ever.
            QTimer::singleShot(3000, dialog, [dialog] {
                if (dialog->isVisible())
                    dialog->reject();
            });
            return;
        }
    });
    poll->start(20);
}

class Workspaces : public SimulatedBoardRun {
protected:
    Workspaces() : SimulatedBoardRun("", 12 * 3600 * 1000) {}

    QMdiArea* area() const { return main.findChild<QMdiArea*>("mdiArea"); }
    template <typename T> T* find(const char* name) const { return main.findChild<T*>(name); }

    // Everything a user sees that a workspace keeps, window by window, back to front.
    QStringList shown() const {
        QStringList lines;
        lines << QString("main %1,%2 %3x%4").arg(main.x()).arg(main.y()).arg(main.width()).arg(main.height());
        for (QMdiSubWindow* frame : area()->subWindowList(QMdiArea::StackingOrder)) {
            const QRect r = frame->geometry();
            lines << QString("%1 %2,%3 %4x%5")
                         .arg(frame->widget()->objectName())
                         .arg(r.x())
                         .arg(r.y())
                         .arg(r.width())
                         .arg(r.height());
        }
        if (auto* address = find<QLineEdit>("txtReadAddr"))
            lines << "regmap " + address->text() + " " + find<QLabel>("lblCurrentAddr")->text() + " " +
                         QString::number(find<QCheckBox>("chkContRead")->isChecked());
        for (const char* name : {"chkLog_0", "chkLog_1", "chkLog_2"})
            if (auto* box = find<QCheckBox>(name))
                lines << QString("%1 %2").arg(name).arg(box->isChecked());
        if (auto* interval = find<QLineEdit>("txtLogInt"))
            lines << "interval " + interval->text();
        if (const StripChart* chart = find<StripChart>("stpGraph")) {
            const GraphSettings on = chart->viewSettings();
            lines << QString("graph span %1 range %2..%3 paused %4 visible %5%6%7 functions %8%9%10%11")
                         .arg(chart->timeSpan())
                         .arg(chart->temperatureRange().low)
                         .arg(chart->temperatureRange().high)
                         .arg(chart->paused())
                         .arg(chart->traceVisible(1))
                         .arg(chart->traceVisible(2))
                         .arg(chart->traceVisible(3))
                         .arg(on.cursors)
                         .arg(on.statistics)
                         .arg(on.limitLines)
                         .arg(on.alarmMarks);
            lines << QString("cursors %1 %2")
                         .arg(chart->newestKey() - chart->readout()->cursorKey(0), 0, 'f', 3)
                         .arg(chart->newestKey() - chart->readout()->cursorKey(1), 0, 'f', 3);
        }
        return lines;
    }

    // The --capture picture with what shows live data painted over, so that two pictures are equal
    // when all else came back: the chart's plot and alarm lanes (traces, value captions, cursor and
    // statistics readouts) and the time labels under them (they follow the newest sample), the
    // gauges (the temperatures now) and the status bar's date and time (the wall clock).
    QImage pictureOutsideLiveData() {
        QCoreApplication::processEvents(); // the chart's queued redraw
        QImage picture = CapturePicture().toImage();
        QPainter painter(&picture);
        // Only where the widget shows: a window in front of it keeps being compared.
        const auto cover = [&](const QWidget* widget, const QRect& area) {
            for (const QRect& part : widget->visibleRegion().intersected(area))
                painter.fillRect(QRect(widget->mapTo(&main, part.topLeft()), part.size()), Qt::magenta);
        };
        for (const char* name : {"ggeTemp_0", "ggeTemp_1", "ggeTemp_2", "sbStatusBar_2", "sbStatusBar_3"})
            if (const QWidget* widget = find<QWidget>(name))
                cover(widget, widget->rect());
        if (const StripChart* chart = find<StripChart>("stpGraph")) {
            QCustomPlot* plot = chart->plot();
            // One pixel wider: a time grid line at the newest sample falls just past the right edge.
            for (const QCPAxisRect* lane : plot->axisRects())
                cover(plot, lane->rect().adjusted(0, 0, 1, 1));
            const QRect temperatures = plot->axisRect()->rect();
            cover(plot, QRect(QPoint(0, temperatures.bottom()),
                              QPoint(plot->width(), plot->axisRect()->outerRect().bottom())));
        }
        return picture;
    }

    // Every window open away from where it opens, each control away from its default.
    void setUpBench() {
        // Within the test screen (800 x 600): a workspace's places are clamped to the screens.
        main.move(20, 10);
        main.resize(760, 580);
        startProgram(main);
        for (const char* name : {"frmLimits", "frmLogging", "frmRegMap", "frmGraph"})
            main.OpenChildWindow(name);
        tickUntil(main, nowMs + 5000, 50);
        const QRect places[] = {{5, 10, 0, 0}, {300, 20, 0, 0}, {60, 25, 0, 0}, {40, 15, 600, 420}};
        int i = 0;
        for (QMdiSubWindow* frame : area()->subWindowList(QMdiArea::StackingOrder)) {
            const QRect place = places[i++];
            if (!place.isEmpty())
                frame->resize(place.size());
            frame->move(place.topLeft());
            ASSERT_TRUE(QRect(QPoint(), area()->viewport()->size()).contains(frame->geometry()))
                << frame->widget()->objectName().toStdString();
        }
        find<QLineEdit>("txtReadAddr")->setText("19");
        find<QPushButton>("cmdRead")->click();
        find<QCheckBox>("chkContRead")->setChecked(true);
        find<QCheckBox>("chkLog_1")->setChecked(false);
        find<QLineEdit>("txtLogInt")->setText("500");
        StripChart* chart = find<StripChart>("stpGraph");
        chart->setTimeSpan(20);
        chart->setTemperatureRange({10, 50});
        chart->setTraceVisible(2, false);
        chart->applyViewSettings({true, true, true, true});
        chart->readout()->setCursorKey(0, chart->newestKey() - 4);
        chart->readout()->setCursorKey(1, chart->newestKey() - 1.5);
        chart->setPaused(true);
    }

    frmMain main;
};
} // namespace

TEST_F(Workspaces, EveryWindowComesBackAsSaved) {
    setUpBench();
    const QStringList before = shown();
    const QImage pictureBefore = pictureOutsideLiveData();
    const QString path = folder.filePath("bench.otkws");
    ASSERT_FALSE(SaveWorkspaceFile(CaptureWorkspace(main), path));

    area()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    main.move(0, 0);
    main.resize(700, 500);
    main.OpenChildWindow("frmSave");
    ASSERT_NE(shown().join('\n'), before.join('\n'));

    QStringList notes;
    const std::optional<QString> refused = OpenWorkspace(main, path, notes);
    ASSERT_FALSE(refused) << refused->toStdString();
    EXPECT_TRUE(notes.isEmpty()) << notes.join('\n').toStdString();
    EXPECT_EQ(shown().join('\n'), before.join('\n'));
    const QImage pictureAfter = pictureOutsideLiveData();
    EXPECT_TRUE(pictureAfter == pictureBefore) << "the pictures differ outside live data";
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(Workspaces, RefusedFileChangesNothingOnScreen) {
    setUpBench();
    const QString path = folder.filePath("damaged.otkws");
    ASSERT_FALSE(SaveWorkspaceFile(CaptureWorkspace(main), path));
    // A valid beginning, then a graph span no chart shows: refused after the windows were read.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll().replace("\"span_seconds\": 20", "\"span_seconds\": 1");
    file.resize(0);
    file.write(bytes);
    file.close();
    area()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    main.OpenChildWindow("frmSave");
    const QStringList before = shown();

    QStringList notes;
    const std::optional<QString> refused = OpenWorkspace(main, path, notes);
    ASSERT_TRUE(refused);
    EXPECT_TRUE(refused->contains("graph.span_seconds")) << refused->toStdString();
    EXPECT_EQ(shown().join('\n'), before.join('\n'));
}

TEST_F(Workspaces, ClosingTheProgramKeepsTheLastSessionWithoutTouchingTheChip) {
    setUpBench();
    const Workspace expected = CaptureWorkspace(main, BoardIds::Skip);
    main.close();

    const WorkspaceCheck saved = LoadWorkspaceFile(LastSessionPath(), [](const QString&) { return true; });
    ASSERT_TRUE(saved.workspace) << saved.problem.toStdString();
    EXPECT_EQ(WorkspaceJson(*saved.workspace), WorkspaceJson(expected));
    // No ids: they would be read from the chip, whose link may be what ended the program.
    EXPECT_FALSE(saved.workspace->board.manufacturerId);
}

// The tick box in the save dialog is the only way a workspace starts logging.
TEST_F(Workspaces, FileMenuSavesThroughTheDialogAndItsTickBoxStartsLogging) {
    setUpBench();
    const QString log = folder.filePath("bench.csv");
    GeneralStuff::LogFileName = log;
    const QString path = folder.filePath("logging.otkws");
    QStringList offered;
    // Typed without its suffix: the workspace's is added.
    AnswerFileDialog(folder.filePath("logging"), {true}, &offered);
    find<QAction>("mnuSaveWorkspace")->trigger();
    EXPECT_EQ(offered, QStringList{"Workspace Files (*.otkws)"});
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_FALSE(GeneralStuff::LoggingActive);

    AnswerFileDialog(path, {});
    find<QAction>("mnuOpenWorkspace")->trigger();
    EXPECT_TRUE(GeneralStuff::LoggingActive);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The open logging window was loaded again: it shows the running log and the workspace's settings.
    EXPECT_EQ(find<QPushButton>("cmdLogData")->text(), "Click to stop logging...");
    EXPECT_FALSE(find<QCheckBox>("chkLog_1")->isChecked());
    EXPECT_EQ(GeneralStuff::LogChannels, (std::array<bool, 3>{true, false, true}));
    EXPECT_EQ(GeneralStuff::LogInterval, 500);
    EXPECT_TRUE(QFile::exists(log));
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
}

namespace {
struct RegisterRow {
    const char* name;
    bool otherBoard;
    std::vector<bool> answers; // to the questions, in the order they are asked
    std::vector<RegisterWrite> writes;
    bool unattended = false; // OTK5530_MESSAGES=stderr answers instead of the rows' answers
};

// The workspace's registers on a scripted adapter, which records every request.
class WorkspaceRegisters : public Workspaces, public ::testing::WithParamInterface<RegisterRow> {
protected:
    void SetUp() override {
        Workspaces::SetUp();
        adapter = InstallScriptedAdapter();
        adapter->readAddressOf = TableReadAddressOf;
    }
    void TearDown() override {
        SetQuestionFunction({});
        SetCriticalMessageFunction({});
        Workspaces::TearDown();
    }
    ScriptedAdapter* adapter = nullptr;
};
} // namespace

TEST_P(WorkspaceRegisters, AreWrittenOnlyWhenConfirmed) {
    const RegisterRow& row = GetParam();
    // Conversion Rate already holds the workspace's value: the preview lists only the other two.
    adapter->setRegister(0x4C, TableReadAddressOf(0x0A), 0x08);
    Workspace workspace = CaptureWorkspace(main);
    workspace.registers = std::vector<RecallEntry>{{0x09, 0x04}, {0x0A, 0x08}, {0x0B, 0x55}};
    if (row.otherBoard)
        workspace.board.address = 0x4D;
    const QString path = folder.filePath("registers.otkws");
    ASSERT_FALSE(SaveWorkspaceFile(workspace, path));
    QStringList asked;
    size_t writtenBeforeAnswers = 0;
    SetQuestionFunction([&](const QString& text) {
        asked << text;
        writtenBeforeAnswers += adapter->writes().size();
        return asked.size() <= static_cast<qsizetype>(row.answers.size()) && row.answers[asked.size() - 1];
    });
    if (row.unattended) {
        qputenv("OTK5530_MESSAGES", "stderr");
        InstallMessagesFromEnvironment();
        qunsetenv("OTK5530_MESSAGES");
    }
    adapter->clearLog();

    QStringList notes;
    ASSERT_FALSE(OpenWorkspace(main, path, notes));
    EXPECT_EQ(adapter->writes(), row.writes);
    EXPECT_EQ(writtenBeforeAnswers, 0u);
    EXPECT_EQ(notes.join('\n').contains("registers were not written"), row.writes.empty());
    if (row.unattended)
        return;
    ASSERT_EQ(asked.size(), static_cast<qsizetype>(row.answers.size())) << asked.join('\n').toStdString();
    // Another board is named before any preview; the preview lists only what would change.
    EXPECT_EQ(asked[0].contains("another board"), row.otherBoard);
    if (asked.size() == (row.otherBoard ? 2 : 1)) {
        EXPECT_TRUE(asked.back().contains("changes 2 entries")) << asked.back().toStdString();
    }
}

// Confirmed, every entry is written in the workspace's order, as a settings recall writes them.
const std::vector<RegisterWrite> kAllEntries{{0x09, 0x04}, {0x0A, 0x08}, {0x0B, 0x55}};

INSTANTIATE_TEST_SUITE_P(
    Rows, WorkspaceRegisters,
    ::testing::Values(RegisterRow{"PreviewDeclined", false, {false}, {}},
                      RegisterRow{"PreviewConfirmed", false, {true}, kAllEntries},
                      RegisterRow{"OtherBoardDeclined", true, {false}, {}},
                      RegisterRow{"OtherBoardAndPreviewConfirmed", true, {true, true}, kAllEntries},
                      // Nobody to answer: nothing waits, and nothing is written.
                      RegisterRow{"OtherBoardUnattended", true, {}, {}, true},
                      RegisterRow{"PreviewUnattended", false, {}, {}, true}),
    [](const ::testing::TestParamInfo<RegisterRow>& row) { return std::string(row.param.name); });

// The shared remote addresses show Remote 1 or Remote 2 by bit 3 of Configuration Reg 1. Here the
// chip shows Remote 2, which happens to hold Remote 1's saved limit: only writing after the
// selection is restored brings Remote 1's limit back.
TEST_F(Workspaces, RegistersKeptByTheTickBoxComeBackWhenTheRemoteSelectionChanged) {
    startProgram(main);
    const auto chip = [] {
        QStringList values;
        for (const SettingsEntry& entry : SettingsEntries(false, [](int32_t a) { return ReadChip(a); }))
            values << QString("%1=%2").arg(entry.writeAddr).arg(entry.value);
        return values;
    };
    const QStringList before = chip();
    const QString path = folder.filePath("remotes.otkws");
    AnswerFileDialog(path, {false, true});
    find<QAction>("mnuSaveWorkspace")->trigger();
    WriteChip(kRemote1HighLimitHighWrite, 0x40);
    WriteChip(kConfig1Write, kConfig1Remote2Select);
    ASSERT_NE(chip(), before);
    QStringList asked;
    SetQuestionFunction([&](const QString& text) {
        asked << text;
        return true;
    });

    QStringList notes;
    ASSERT_FALSE(OpenWorkspace(main, path, notes));
    EXPECT_EQ(chip(), before);
    // Opened again, every register holds its value: nothing to preview.
    ASSERT_FALSE(OpenWorkspace(main, path, notes));
    SetQuestionFunction({});
    EXPECT_EQ(asked.size(), 1) << asked.join('\n').toStdString();
}
