#pragma once
// Between the windows on screen and a workspace: what is captured from them, and how a
// checked workspace is put back. The windows are read through their own controls.
#include "files/Workspace.h"

#include <QString>
#include <QStringList>
#include <optional>

class frmMain;

// What is on screen now, with the board in use; its ids are read from the chip when asked.
enum class BoardIds { Read, Skip };
Workspace CaptureWorkspace(frmMain& main, BoardIds ids = BoardIds::Read);

// Writes the workspace file whole (never over a folder, pipe or device); the reason when it cannot.
std::optional<QString> SaveWorkspaceFile(const Workspace& workspace, const QString& path);

// Puts a checked workspace on screen: the main window, the child windows (others are closed)
// back to front, their controls, the logging settings. Notes what it could not apply.
QStringList ApplyWorkspace(frmMain& main, const Workspace& workspace);

// Reads, checks and applies the file; the refusal (nothing changed) when the file is refused.
// notes gets what was skipped.
std::optional<QString> OpenWorkspace(frmMain& main, const QString& path, QStringList& notes);

// Where the last session is kept: beside the settings store.
QString LastSessionPath();
// Saves what is on screen as the last session, without touching the chip (the program is ending,
// perhaps because the link broke). A failure leaves the previous one and says nothing: nobody asked.
void SaveLastSession(frmMain& main);

// The File menu's items: the program's file dialog, then the above; problems in a warning.
void SaveWorkspaceChosen(frmMain& main);
void OpenWorkspaceChosen(frmMain& main);
void OpenLastSession(frmMain& main);
