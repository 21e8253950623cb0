#pragma once
// The one place the core's announcements reach the windows.
class MonitoringCycle;
class QObject;
class frmMain;

// The monitoring cycle's feeds to the open graph, limits and register map windows, and the
// register map's "Continuous Read" box to the cycle; the connections end with the context.
void ConnectViewFeeds(MonitoringCycle& cycle, QObject& context);
// The feeds of the main window's cycle, and the main window's share: status text, master
// timer, and the logging window's button when logging stops.
void ConnectViews(frmMain& main);
// Ends what was connected with the context, before it is destroyed.
void DisconnectViews(QObject& context);
