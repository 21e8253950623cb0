#pragma once
// Start-up: splash, connection, main window, master timer, graph window, device model.

#include <QString>

class frmMain;

namespace GeneralStuff {

// Returns with the main window shown and connected; the event loop does the rest.
// The adapter description becomes the tooltip of the status bar's first panel; a simulated
// board is marked as such in the status bar.
frmMain* Main(const QString& adapterDescription = {}, bool simulated = false);

} // namespace GeneralStuff
