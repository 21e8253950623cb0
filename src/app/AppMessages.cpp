#include "app/AppMessages.h"

#include "app/Version.h"

#include <QMessageBox>
#include <cstdio>

namespace {
MessageFunction& criticalReplacement() {
    static MessageFunction show;
    return show;
}

MessageFunction& warningReplacement() {
    static MessageFunction show;
    return show;
}

void printDetails(const QString& details) {
    if (details.isEmpty())
        return;
    std::fprintf(stderr, "%s: %s\n", qPrintable(kApplicationTitle), qPrintable(details));
    std::fflush(stderr);
}

void showBox(QMessageBox::Icon icon, const QString& text, const QString& details) {
    QMessageBox box(icon, kApplicationTitle, text, QMessageBox::Ok);
    box.setDetailedText(details);
    box.exec();
}
} // namespace

void ShowCriticalMessage(const QString& text, const QString& details) {
    printDetails(details);
    if (criticalReplacement())
        criticalReplacement()(text);
    else
        showBox(QMessageBox::Critical, text, details);
}

void ShowWarningMessage(const QString& text, const QString& details) {
    printDetails(details);
    if (warningReplacement())
        warningReplacement()(text);
    else
        showBox(QMessageBox::Warning, text, details);
}

void SetCriticalMessageFunction(MessageFunction show) {
    criticalReplacement() = std::move(show);
}
void SetWarningMessageFunction(MessageFunction show) {
    warningReplacement() = std::move(show);
}
