#pragma once
// The per-user settings store: one file that holds the main window's place and
// what the graph showed.
#include <QSettings>
#include <QString>
#include <memory>

// The store's file: "<application title>/<application title>.conf" in the folder
// QSettings uses for per-user settings (QSettings::setPath included).
QString MainSettingsPath();
// The store under the application title, or null when its file (or its lock file)
// exists but is no plain file of at most 1 MB: a pipe there would block the
// program for good, a link to /dev/zero fill its memory.
std::unique_ptr<QSettings> OpenMainSettings();
