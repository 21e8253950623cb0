#pragma once
// Tells the user why something typed was refused.
#include <QString>

class QWidget;

// Opens a warning box over the application and returns at once: the entry may
// have been found by the monitoring cycle, whose tick must never wait for the user.
void ShowInputWarning(QWidget* parent, const QString& message);
