#include "app/Unattended.h"

#include "app/Delay.h"
#include "app/Version.h"
#include "app/WindowCatalog.h"
#include "app/frmMain.h"
#include "device/WindowClasses.h"
#include "ui/AppMessages.h"

#include <QApplication>
#include <QCheckBox>
#include <cstdio>

namespace {
void printMessage(const QString& text) {
    QString line = QString(kApplicationTitle) + ": " + text;
    line.replace('\n', ' ');
    std::fprintf(stderr, "%s\n", qPrintable(line));
    std::fflush(stderr);
}
} // namespace

void InstallMessagesFromEnvironment() {
    if (qEnvironmentVariable("OTK5530_MESSAGES") != "stderr")
        return;
    SetCriticalMessageFunction(printMessage);
    SetWarningMessageFunction(printMessage);
    // Nobody is there to answer: the safe answer, which changes nothing, and the line says so.
    SetQuestionFunction([](const QString& text) {
        printMessage(text + " Answered No: nobody is at the keyboard.");
        return false;
    });
}

void InstallFastStartFromEnvironment() {
    if (qEnvironmentVariable("OTK5530_FAST_START") == "1")
        GeneralStuff::SetDelayFunction([](float) {});
}

QString UnknownWindowClass(const QStringList& classes) {
    for (const QString& name : classes)
        if (!IsWindowClass(name))
            return name;
    return {};
}

void OpenStartWindows(frmMain& main, const QStringList& classes, bool continuousRead) {
    for (const QString& name : classes)
        main.OpenChildWindow(name);
    if (!continuousRead)
        return;
    // Ticked through the box, as a user would, so the window's own rules apply.
    if (auto* regMap = main.findChild<QWidget*>(WindowClass::kRegMap))
        if (auto* box = regMap->findChild<QCheckBox*>("chkContRead"))
            box->setChecked(true);
}
