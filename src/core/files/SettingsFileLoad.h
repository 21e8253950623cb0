#pragma once
// Reads a settings file for a recall, a compare or a recall preview, with the
// recall's refusals: only a plain file that opens, of a settings file's size, and
// whose every line passes the whole-file check.
#include <QByteArray>
#include <QString>
#include <optional>

inline constexpr char kSettingsFileFilter[] = "Text Files (*.sav)";

// The bytes, or none with the refusal in words for the user in `refusal`.
std::optional<QByteArray> LoadSettingsFile(const QString& path, QString& refusal);
