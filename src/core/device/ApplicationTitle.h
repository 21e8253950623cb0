#pragma once
// The application title: the main window's caption, the caption of every message
// box, the name in the settings store and the second line of a settings file.
#include <QString>

inline const QString kApplicationTitle = QStringLiteral("OTK5530 Evaluation Software");
