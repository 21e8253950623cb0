#pragma once
// Reads a settings file's bytes for the compare and the recall preview, with the
// recall's refusals: only a plain file, one that opens, of a settings file's size.
#include <QByteArray>
#include <QString>
#include <optional>

inline constexpr char kSettingsFileFilter[] = "Text Files (*.sav)";

// The bytes, or none with the refusal in words for the user in `refusal`.
std::optional<QByteArray> LoadSettingsFile(const QString& path, QString& refusal);
