#pragma once
// SIGTERM, SIGINT and SIGHUP (a logout, a kill, Ctrl-C in the terminal that
// started the program) close it as closing its main window does: children
// unloaded, geometry saved, the log's last line complete. A second signal ends
// it at once, for a close that does not finish.
class QWidget;

// Installs the handlers. Called before start-up: a signal that comes meanwhile is
// kept until CloseOnSignals runs; a second one still ends the program at once.
void InstallSignalHandlers();
// From now on the event loop closes the main window on the first signal, once
// every modal dialog has been dismissed and the stack is back in the main loop.
void CloseOnSignals(QWidget* mainWindow);
