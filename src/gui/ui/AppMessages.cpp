#include "ui/AppMessages.h"

#include "device/ApplicationTitle.h"

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

QuestionFunction& questionReplacement() {
    static QuestionFunction answer;
    return answer;
}

void printDetails(const QString& details) {
    if (details.isEmpty())
        return;
    std::fprintf(stderr, "%s: %s\n", qPrintable(kApplicationTitle), qPrintable(details));
    std::fflush(stderr);
}

void showBox(QMessageBox::Icon icon, const QString& text, const QString& details, QWidget* over) {
    QMessageBox box(icon, kApplicationTitle, text, QMessageBox::Ok, over);
    box.setDetailedText(details);
    box.exec();
}
} // namespace

void ShowCriticalMessage(const QString& text, const QString& details) {
    printDetails(details);
    if (criticalReplacement())
        criticalReplacement()(text);
    else
        showBox(QMessageBox::Critical, text, details, nullptr);
}

void ShowWarningMessage(const QString& text, const QString& details) {
    printDetails(details);
    if (warningReplacement())
        warningReplacement()(text);
    else
        showBox(QMessageBox::Warning, text, details, nullptr);
}

void ShowWarningOver(QWidget* window, const QString& text) {
    if (warningReplacement())
        warningReplacement()(text);
    else
        showBox(QMessageBox::Warning, text, {}, window);
}

void ShowInputWarning(QWidget* window, const QString& text, Qt::WindowModality modality) {
    if (warningReplacement()) {
        warningReplacement()(text);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, kApplicationTitle, text, QMessageBox::Ok, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(modality);
    box->show();
}

void SetCriticalMessageFunction(MessageFunction show) {
    criticalReplacement() = std::move(show);
}
void SetWarningMessageFunction(MessageFunction show) {
    warningReplacement() = std::move(show);
}
void SetQuestionFunction(QuestionFunction answer) {
    questionReplacement() = std::move(answer);
}

std::optional<bool> ReplacedAnswer(const QString& text) {
    if (questionReplacement())
        return questionReplacement()(text);
    return std::nullopt;
}

bool AskQuestionOver(QWidget* window, const QString& text) {
    if (const std::optional<bool> answer = ReplacedAnswer(text))
        return *answer;
    QMessageBox box(QMessageBox::Question, kApplicationTitle, text, QMessageBox::Yes | QMessageBox::No,
                    window);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
