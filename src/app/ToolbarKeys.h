#pragma once
// The main window's toolbar buttons: key, tooltip and the window each opens.
#include <QString>
#include <array>

struct ToolbarButton {
    const char* key;
    const char* tooltip; // empty: no tooltip
    const char* windowClass;
    bool offered; // false: shown but not clickable
};

// In toolbar order; the dispatch compares keys in this order, case-sensitively.
inline constexpr std::array<ToolbarButton, 6> kToolbarButtons = {{
    {"Save", "Save/Recall Configuration", "frmSave", true},
    {"Config", "General Device Configuration", "frmConfig", true},
    {"Graphs", "Temperature/Fan graphs", "frmGraph", true},
    {"Tree", "Register Map Tree", "frmRegMap", true},
    {"Limits", "Interrupts/Limits", "frmLimits", true},
    {"Log", "", "frmLogging", false},
}};

// The window class a toolbar key opens; empty for a key that matches none.
QString WindowOfToolbarKey(const QString& key);
