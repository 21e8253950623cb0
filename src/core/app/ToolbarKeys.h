#pragma once
// The main window's toolbar buttons: key, tooltip and the window each opens.
#include "device/WindowClasses.h"

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
    {"Save", "Save/Recall Configuration", WindowClass::kSave, true},
    {"Config", "General Device Configuration", WindowClass::kConfig, true},
    {"Graphs", "Temperature/Fan graphs", WindowClass::kGraph, true},
    {"Tree", "Register Map Tree", WindowClass::kRegMap, true},
    {"Limits", "Interrupts/Limits", WindowClass::kLimits, true},
    {"Log", "", WindowClass::kLogging, false},
}};

// The window class a toolbar key opens; empty for a key that matches none.
QString WindowOfToolbarKey(const QString& key);
