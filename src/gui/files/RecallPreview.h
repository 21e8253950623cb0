#pragma once
// Lists what a recall would change on the chip and asks before anything is written.
#include "files/SettingsCompare.h"

#include <vector>

class QWidget;

// Modal over the window: true when the user chose to recall, false on Cancel.
bool ConfirmRecall(QWidget* window, const std::vector<RecallChange>& changes);
