#pragma once
// The one place that connects the core's announcements to the windows.
class frmMain;

void ConnectViews(frmMain& main);
