#include "app/SignalClose.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int kClosingSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kModalRetryMs = 20;

// The handler only writes one byte to the pipe (the self-pipe pattern): the
// closing itself runs on the user-interface thread, between ticks.
int signalPipe[2] = {-1, -1};
volatile sig_atomic_t signalSeen = 0;

void onClosingSignal(int number) {
    if (signalSeen) {
        ::signal(number, SIG_DFL);
        ::raise(number);
        return;
    }
    signalSeen = 1;
    const int savedErrno = errno;
    const char byte = 1;
    (void)!::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

// A handler waiting in a modal dialog's loop must get back to the main loop
// before its window goes, so dialogs are dismissed first and the close waits.
void closeWhenBackInMainLoop(QPointer<QWidget> mainWindow) {
    if (!mainWindow)
        return;
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
    if (QApplication::activeModalWidget() || QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(kModalRetryMs, [mainWindow] { closeWhenBackInMainLoop(mainWindow); });
        return;
    }
    mainWindow->close();
}
} // namespace

void InstallSignalHandlers() {
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action {};
    action.sa_handler = onClosingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kClosingSignals)
        ::sigaction(number, &action, nullptr);
}

void CloseOnSignals(QWidget* mainWindow) {
    if (signalPipe[0] < 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [notifier, window = QPointer(mainWindow)] {
                         char byte = 0;
                         while (::read(signalPipe[0], &byte, 1) > 0) {
                         }
                         notifier->setEnabled(false);
                         closeWhenBackInMainLoop(window);
                     });
}
