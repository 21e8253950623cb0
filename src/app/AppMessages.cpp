#include "app/AppMessages.h"

#include "app/Version.h"

#include <QMessageBox>

namespace {
MessageFunction& criticalReplacement() {
    static MessageFunction show;
    return show;
}

MessageFunction& warningReplacement() {
    static MessageFunction show;
    return show;
}
} // namespace

void ShowCriticalMessage(const QString& text) {
    if (criticalReplacement())
        criticalReplacement()(text);
    else
        QMessageBox::critical(nullptr, kApplicationTitle, text, QMessageBox::Ok);
}

void ShowWarningMessage(const QString& text) {
    if (warningReplacement())
        warningReplacement()(text);
    else
        QMessageBox::warning(nullptr, kApplicationTitle, text, QMessageBox::Ok);
}

void SetCriticalMessageFunction(MessageFunction show) {
    criticalReplacement() = std::move(show);
}
void SetWarningMessageFunction(MessageFunction show) {
    warningReplacement() = std::move(show);
}
