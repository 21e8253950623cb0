#pragma once
// The application's message boxes, every one of them: replaceable, so tests and
// unattended runs (OTK5530_MESSAGES=stderr) never wait on a box.
#include <QString>
#include <Qt>
#include <functional>
#include <optional>

class QWidget;

// Critical-stop icon, single OK, the application title as caption. A non-empty
// details text (the technical reason behind a specified message) goes to stderr
// and into the box's details, so the specified text itself stays as it is.
void ShowCriticalMessage(const QString& text, const QString& details = {});
// Warning icon, single OK, the application title as caption; details as above.
void ShowWarningMessage(const QString& text, const QString& details = {});
// The same warning, centred over the window whose action was refused; returns
// when the user has clicked OK.
void ShowWarningOver(QWidget* window, const QString& text);
// The same warning, but returns at once: the entry may have been found by the
// monitoring cycle, whose tick must never wait for the user. Application-modal,
// or window-modal where the window stays usable for a corrected entry.
void ShowInputWarning(QWidget* window, const QString& text,
                      Qt::WindowModality modality = Qt::ApplicationModal);

// Question icon, Yes and No (No the default), centred over the window; true for Yes.
bool AskQuestionOver(QWidget* window, const QString& text);
// The replacement's answer when questions are replaced, for dialogs of their own (a
// workspace's recall preview) that must not wait on an unattended run either; nothing otherwise.
std::optional<bool> ReplacedAnswer(const QString& text);

using MessageFunction = std::function<void(const QString& text)>;
// Replaces every critical box, or every warning box (of the three kinds above).
// Empty restores the real message box.
void SetCriticalMessageFunction(MessageFunction show);
void SetWarningMessageFunction(MessageFunction show);
using QuestionFunction = std::function<bool(const QString& text)>;
// Replaces every question; empty restores the real box.
void SetQuestionFunction(QuestionFunction answer);
