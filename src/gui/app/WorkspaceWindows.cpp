#include "app/WorkspaceWindows.h"

#include "app/Announcements.h"
#include "app/ChildPlacement.h"
#include "app/MainGeometry.h"
#include "app/WindowCatalog.h"
#include "app/frmMain.h"
#include "chip/ChipRegisters.h"
#include "device/ChipAccess.h"
#include "device/ChipChanges.h"
#include "device/ChipSession.h"
#include "device/NumberText.h"
#include "device/SettingsStore.h"
#include "device/USBStuff.h"
#include "device/WindowClasses.h"
#include "files/LogGrid.h"
#include "files/LogLines.h"
#include "files/LogStart.h"
#include "files/MasterTimerPause.h"
#include "files/RecallPreview.h"
#include "files/SettingsFile.h"
#include "ui/AppMessages.h"
#include "ui/FileDialog.h"
#include "ui/Twips.h"
#include "views/ChartReadout.h"
#include "views/RegMapRules.h"
#include "views/StripChart.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSaveFile>

namespace {
QMdiArea* areaOf(frmMain& main) {
    return main.findChild<QMdiArea*>("mdiArea");
}

// Each window's objectName is its class name.
QMdiSubWindow* frameOf(frmMain& main, const QString& className) {
    for (QMdiSubWindow* frame : areaOf(main)->subWindowList())
        if (frame->widget() && frame->widget()->objectName() == className)
            return frame;
    return nullptr;
}

template <typename Control> Control* control(frmMain& main, const QString& className, const QString& name) {
    QMdiSubWindow* frame = frameOf(main, className);
    return frame ? frame->widget()->findChild<Control*>(name) : nullptr;
}

StripChart* chartOf(frmMain& main) {
    QMdiSubWindow* frame = frameOf(main, WindowClass::kGraph);
    return frame ? frame->widget()->findChild<StripChart*>() : nullptr;
}

void captureRegMap(frmMain& main, Workspace& workspace) {
    auto* address = control<QLineEdit>(main, WindowClass::kRegMap, "txtReadAddr");
    auto* continuous = control<QCheckBox>(main, WindowClass::kRegMap, "chkContRead");
    if (!address || !continuous)
        return;
    // An address box the user left empty or mistyped shows register 0 next time.
    const CheckedNumber shown = RegisterAddressOfText(address->text(), "read");
    workspace.regMap = WorkspaceRegMap{shown.ok() ? shown.value : 0, continuous->isChecked()};
}

void captureGraph(frmMain& main, Workspace& workspace) {
    const StripChart* chart = chartOf(main);
    if (!chart)
        return;
    WorkspaceGraph graph;
    graph.span = chart->timeSpan();
    graph.low = chart->temperatureRange().low;
    graph.high = chart->temperatureRange().high;
    for (int i = 0; i < 3; ++i)
        graph.visible[i] = chart->traceVisible(i + 1);
    graph.paused = chart->paused();
    graph.functions = chart->viewSettings();
    for (int i = 0; i < 2; ++i)
        graph.cursorsBefore[i] = std::max(0.0, chart->newestKey() - chart->readout()->cursorKey(i));
    // Cursors still waiting for samples have no place yet: they come back waiting.
    if (chart->readout()->cursorsWaiting())
        graph.cursorsBefore = {};
    workspace.graph = graph;
}

void captureLogging(frmMain& main, Workspace& workspace) {
    WorkspaceLogging& logging = workspace.logging;
    const LogSettings settings = ProgramLogSettings();
    logging.file = settings.file;
    logging.channels = settings.channels;
    logging.interval = std::max(settings.interval, kShortestLogInterval);
    // An open logging window shows what the next run would use.
    for (int i = 0; i < 3; ++i)
        if (auto* box = control<QCheckBox>(main, WindowClass::kLogging, QString("chkLog_%1").arg(i)))
            logging.channels[i] = box->isChecked();
    if (auto* interval = control<QLineEdit>(main, WindowClass::kLogging, "txtLogInt")) {
        const std::optional<int32_t> typed = WholeValueOfText32(interval->text());
        if (typed && *typed >= kShortestLogInterval)
            logging.interval = *typed;
    }
}

void applyRegMap(frmMain& main, const WorkspaceRegMap& regMap) {
    auto* address = control<QLineEdit>(main, WindowClass::kRegMap, "txtReadAddr");
    auto* read = control<QPushButton>(main, WindowClass::kRegMap, "cmdRead");
    auto* continuous = control<QCheckBox>(main, WindowClass::kRegMap, "chkContRead");
    if (!address || !read || !continuous)
        return;
    address->setText(HexText(regMap.address));
    read->click();
    continuous->setChecked(regMap.continuousRead);
}

void applyGraph(frmMain& main, const WorkspaceGraph& graph) {
    StripChart* chart = chartOf(main);
    if (!chart)
        return;
    chart->setPaused(false);
    chart->setTimeSpan(graph.span);
    chart->setTemperatureRange({graph.low, graph.high});
    for (int i = 0; i < 3; ++i)
        chart->setTraceVisible(i + 1, graph.visible[i]);
    chart->applyViewSettings(graph.functions);
    // Before any sample there is no newest one to measure from: the cursors wait as when switched on.
    if (graph.functions.cursors && chart->newestKey() > 0 && graph.cursorsBefore != std::array<double, 2>{})
        for (int i = 0; i < 2; ++i)
            chart->readout()->setCursorKey(i, chart->newestKey() - graph.cursorsBefore[i]);
    chart->setPaused(graph.paused);
}

// Before the windows open: a logging window loads what is set here, the caption of a started run included.
// False when a run is going on, whose settings stay as they are.
bool applyLogging(const WorkspaceLogging& logging, QStringList& notes) {
    if (ProgramLogging()) {
        notes.append("Logging is running: its file, channels and interval were left as they are.");
        return false;
    }
    SetProgramLogSettings({logging.file, logging.channels, logging.interval});
    emit Announcements::program().cycleSettingsChanged();
    if (logging.startLogging && StartLogging(logging.file, logging.channels, logging.interval))
        notes.append(
            QString("Logging could not be started into\n%1").arg(QDir::toNativeSeparators(logging.file)));
    return true;
}
// A settings file's registers, every writable one (defaults too: the workspace sets the whole chip).
std::vector<RecallEntry> chipRegisters() {
    MasterTimerPause pause;
    pause.pause();
    std::vector<RecallEntry> entries;
    for (const SettingsEntry& entry :
         SettingsEntries(false, [](int32_t readAddr) { return ReadChip(readAddr); }))
        entries.push_back({entry.writeAddr, entry.value});
    return entries;
}

// The recall preview of the workspace's registers. A replaced question (a test, an unattended
// run) answers it too: a workspace opened from the command line must not wait for a click.
bool previewConfirmed(frmMain& main, const std::vector<RecallChange>& changes) {
    if (const std::optional<bool> answer = ReplacedAnswer(
            QString("Preview changes before recall: writing the workspace's registers changes %1 entries.")
                .arg(changes.size())))
        return *answer;
    return ConfirmRecall(&main, changes);
}

// Writes the workspace's registers as a previewed recall does: only after the user confirmed the
// preview, then every entry in its order, in one writer action; declining writes nothing.
// Every entry, not only the listed changes: Configuration Reg 1 comes first and may switch which
// remote the shared addresses show, so a comparison made before it cannot tell what they hold after.
void applyRegisters(frmMain& main, const std::vector<RecallEntry>& entries, const QString& otherBoard,
                    QStringList& notes) {
    const QString declined = "The workspace's registers were not written.";
    if (!otherBoard.isEmpty() &&
        !AskQuestionOver(&main, otherBoard + "\nWrite its registers to the chip of this board?")) {
        notes.append(declined);
        return;
    }
    MasterTimerPause pause;
    pause.pause();
    const std::vector<RecallChange> changes =
        RecallChanges(entries, [](int32_t readAddr) { return ReadChip(readAddr); });
    // Every entry already holds its value (the remote selection too): nothing to confirm or write.
    if (changes.empty())
        return;
    if (!previewConfirmed(main, changes)) {
        notes.append(declined);
        return;
    }
    const ChipChanges::Action action;
    for (const RecallEntry& entry : entries)
        WriteChip(entry.writeAddr, entry.value);
}
} // namespace

Workspace CaptureWorkspace(frmMain& main, BoardIds ids) {
    Workspace workspace;
    workspace.main = QRect(main.x(), main.y(), main.width(), main.height());
    for (QMdiSubWindow* frame : areaOf(main)->subWindowList(QMdiArea::StackingOrder))
        if (frame->widget() && IsWindowClass(frame->widget()->objectName()))
            workspace.windows.append({frame->widget()->objectName(), frame->geometry()});
    captureRegMap(main, workspace);
    captureGraph(main, workspace);
    captureLogging(main, workspace);
    workspace.board.backend = main.adapterDescription();
    workspace.board.address = USBStuff::ProgramChip().DeviceAddress & 0x7F;
    if (ids == BoardIds::Read) {
        workspace.board.manufacturerId = ReadChip(kManufacturerId) & 0xFF;
        workspace.board.dieRevision = ReadChip(kDieRevision) & 0xFF;
    }
    return workspace;
}

std::optional<QString> SaveWorkspaceFile(const Workspace& workspace, const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return QString(
                   "The workspace could not be saved to\n%1\n(not a plain file).\nNothing there was changed.")
            .arg(shown);
    const QByteArray bytes = WorkspaceJson(workspace);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size() ||
        !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return QString("The workspace could not be saved to\n%1\n(%2).\nAn earlier file of that name is "
                       "unchanged.")
            .arg(shown, reason);
    }
    return std::nullopt;
}

QStringList ApplyWorkspace(frmMain& main, const Workspace& workspace) {
    QStringList notes;
    const MainGeometry placed =
        GeometryOnScreens({Twips(workspace.main.x()), Twips(workspace.main.y()),
                           Twips(workspace.main.width()), Twips(workspace.main.height())},
                          AvailableScreensInTwips());
    main.move(Px(placed.left), Px(placed.top));
    main.resize(Px(placed.width), Px(placed.height));

    const bool loggingApplied = applyLogging(workspace.logging, notes);
    QStringList wanted;
    for (const WorkspaceWindow& window : workspace.windows)
        wanted.append(window.className);
    // An open logging window is closed too, and opens again below with the settings just applied.
    for (QMdiSubWindow* frame : areaOf(main)->subWindowList()) {
        const QString className = frame->widget() ? frame->widget()->objectName() : QString();
        if (!wanted.contains(className) || (loggingApplied && className == WindowClass::kLogging))
            frame->close();
    }
    // Opened back to front: each one opened or brought forward goes on top of the others.
    QMdiArea* area = areaOf(main);
    for (const WorkspaceWindow& window : workspace.windows) {
        main.OpenChildWindow(window.className);
        if (QMdiSubWindow* frame = frameOf(main, window.className)) {
            frame->resize(window.geometry.size());
            frame->move(ChildWindowPosition(area->viewport()->size(),
                                            QRect(window.geometry.topLeft(), frame->size())));
        }
    }
    if (workspace.regMap)
        applyRegMap(main, *workspace.regMap);
    if (workspace.graph)
        applyGraph(main, *workspace.graph);
    return notes;
}

std::optional<QString> OpenWorkspace(frmMain& main, const QString& path, QStringList& notes) {
    const WorkspaceCheck check = LoadWorkspaceFile(path, IsWindowClass);
    if (!check.workspace)
        return check.problem;
    notes = check.notes;
    const Workspace current = CaptureWorkspace(main);
    QString otherBoard;
    if (!SameBoard(check.workspace->board, current.board))
        otherBoard = QString("The workspace was made with another board (%1, address 0x%2).")
                         .arg(check.workspace->board.backend, HexText(check.workspace->board.address));
    notes += ApplyWorkspace(main, *check.workspace);
    if (check.workspace->registers)
        applyRegisters(main, *check.workspace->registers, otherBoard, notes);
    else if (!otherBoard.isEmpty())
        notes.append(otherBoard);
    return std::nullopt;
}

void SaveWorkspaceChosen(frmMain& main) {
    QList<bool> ticked;
    QString path = ChooseFile(
        &main, QFileDialog::AcceptSave, QFileDialog::AnyFile, kWorkspaceFilter, nullptr,
        {"Start logging when this workspace is opened", "Keep the chip's registers in this workspace"},
        &ticked);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += ".otkws";
    const bool startLogging = ticked.value(0);
    Workspace workspace = CaptureWorkspace(main);
    if (ticked.value(1))
        workspace.registers = chipRegisters();
    workspace.logging.startLogging = startLogging && !workspace.logging.file.isEmpty();
    if (const std::optional<QString> problem = SaveWorkspaceFile(workspace, path))
        ShowWarningOver(&main, *problem);
    else if (startLogging && !workspace.logging.startLogging)
        ShowWarningOver(&main,
                        "No log file has been chosen yet: the workspace was saved, but opening it will "
                        "not start logging.");
}

QString LastSessionPath() {
    return QFileInfo(MainSettingsPath()).absolutePath() + "/last-session.otkws";
}

void SaveLastSession(frmMain& main) {
    if (QDir().mkpath(QFileInfo(LastSessionPath()).absolutePath()))
        SaveWorkspaceFile(CaptureWorkspace(main, BoardIds::Skip), LastSessionPath());
}

namespace {
void openAndTell(frmMain& main, const QString& path) {
    QStringList notes;
    if (const std::optional<QString> problem = OpenWorkspace(main, path, notes))
        ShowWarningOver(&main, *problem);
    else if (!notes.isEmpty())
        ShowWarningOver(&main, notes.join('\n'));
}
} // namespace

void OpenWorkspaceChosen(frmMain& main) {
    const QString path =
        ChooseFile(&main, QFileDialog::AcceptOpen, QFileDialog::ExistingFile, kWorkspaceFilter);
    if (!path.isEmpty())
        openAndTell(main, path);
}

void OpenLastSession(frmMain& main) {
    openAndTell(main, LastSessionPath());
}
