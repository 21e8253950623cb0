#pragma once
// The application's message boxes, replaceable so tests never block on one.
#include <QString>
#include <functional>

// Critical-stop icon, single OK, the application title as caption. A non-empty
// details text (the technical reason behind a specified message) goes to stderr
// and into the box's details, so the specified text itself stays as it is.
void ShowCriticalMessage(const QString& text, const QString& details = {});
// Warning icon, single OK, the application title as caption; details as above.
void ShowWarningMessage(const QString& text, const QString& details = {});

using MessageFunction = std::function<void(const QString& text)>;
// Empty restores the real message box.
void SetCriticalMessageFunction(MessageFunction show);
void SetWarningMessageFunction(MessageFunction show);
