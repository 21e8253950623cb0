#pragma once
// Start-up: splash, connection, main window, master timer, graph window, device model.

namespace GeneralStuff {

// Returns with the main window shown and connected; the event loop does the rest.
void Main();

} // namespace GeneralStuff
