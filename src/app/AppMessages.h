#pragma once
// The application's message boxes, replaceable so tests never block on one.
#include <QString>
#include <functional>

// Critical-stop icon, single OK, the application title as caption.
void ShowCriticalMessage(const QString& text);
// Warning icon, single OK, the application title as caption.
void ShowWarningMessage(const QString& text);

using MessageFunction = std::function<void(const QString& text)>;
// Empty restores the real message box.
void SetCriticalMessageFunction(MessageFunction show);
void SetWarningMessageFunction(MessageFunction show);
