#pragma once
// Running with nobody at the keyboard: messages on stderr, no start-up pauses,
// and the windows and logging the command line asks for.
#include <QString>
#include <QStringList>

class frmMain;

// OTK5530_MESSAGES=stderr: the critical and warning message boxes become
// "<caption>: <text>" lines on stderr (one line each) instead of waiting for a click;
// every question (a workspace's recall preview too) is answered No, which writes nothing, on such a line.
void InstallMessagesFromEnvironment();
// OTK5530_FAST_START=1: the start-up pauses take no time.
void InstallFastStartFromEnvironment();

// The first name that is no window class, or an empty text when all are known.
QString UnknownWindowClass(const QStringList& classes);
// Opens the windows in order; ticks the register map's "Continuous Read" when asked.
void OpenStartWindows(frmMain& main, const QStringList& classes, bool continuousRead);
