#pragma once
// A workspace: what is on screen (the windows, where they stand, what they show) and
// the board it was made with, as a versioned JSON file (".otkws"). No widget inside:
// the windows fill and apply it in src/app/WorkspaceWindows.
#include "files/SettingsCompare.h"
#include "views/GraphSettings.h"

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

inline constexpr int kWorkspaceVersion = 1;
inline constexpr char kWorkspaceFormat[] = "otk5530-workspace";
inline constexpr char kWorkspaceFilter[] = "Workspace Files (*.otkws)";

struct WorkspaceWindow {
    QString className; // a window class name (frmRegMap, frmGraph, ...)
    QRect geometry;    // the child frame in the main window's client area, pixels
};

struct WorkspaceRegMap {
    int address = 0; // the register shown, 0..255
    bool continuousRead = false;
};

struct WorkspaceGraph {
    double span = 60;
    double low = -40;
    double high = 130;
    std::array<bool, 3> visible{true, true, true};
    bool paused = false;
    GraphSettings functions;
    // Seconds before the newest sample; kept only while the cursors are on.
    std::array<double, 2> cursorsBefore{};
};

struct WorkspaceLogging {
    QString file; // empty: no log file chosen yet
    std::array<bool, 3> channels{};
    int32_t interval = 0; // ms
    bool startLogging = false;
};

struct WorkspaceBoard {
    QString backend; // the adapter as the status bar names it
    int address = 0; // 7-bit SMBus address
    // Read from the chip when the user saves; the last session, saved as the program
    // ends, touches the chip no more and leaves them out.
    std::optional<int> manufacturerId;
    std::optional<int> dieRevision;
};

// The same backend and address, and the same ids where both boards have them.
bool SameBoard(const WorkspaceBoard& saved, const WorkspaceBoard& current);

struct Workspace {
    QRect main;                     // the main window's frame, pixels
    QList<WorkspaceWindow> windows; // back to front
    std::optional<WorkspaceRegMap> regMap;
    std::optional<WorkspaceGraph> graph;
    WorkspaceLogging logging;
    WorkspaceBoard board;
    // The chip's writable registers as a settings file holds them (write address, value read),
    // in register table order; kept only when the user asked for them.
    std::optional<std::vector<RecallEntry>> registers;
};

// The file's bytes: indented JSON, UTF-8, LF line ends.
QByteArray WorkspaceJson(const Workspace& workspace);

struct WorkspaceCheck {
    std::optional<Workspace> workspace; // nothing when refused
    QString problem;                    // why it was refused, naming the line or key
    QStringList notes;                  // what is skipped (a window this program has no longer)
};

// Checks the whole file before anything is taken from it. Refused: no JSON (the line
// named), another format, a newer version, a known key of the wrong type or out of its
// range, the same window twice, a register entry whose address is no writable register. Unknown keys are
// ignored; a window for which windowExists is false is left out with a note.
WorkspaceCheck ParseWorkspace(const QByteArray& bytes,
                              const std::function<bool(const QString&)>& windowExists);

// Reads and checks a workspace file: a plain file of bounded size, opened without blocking.
WorkspaceCheck LoadWorkspaceFile(const QString& path,
                                 const std::function<bool(const QString&)>& windowExists);
