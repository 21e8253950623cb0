#pragma once
// Records every message box the program shows instead of showing it, through the
// one replaceable message routine; the real boxes come back when it goes.
#include "ui/AppMessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringList>

class RecordedMessages {
public:
    RecordedMessages() {
        SetCriticalMessageFunction([this](const QString& text) { critical << text; });
        SetWarningMessageFunction([this](const QString& text) { warnings << text; });
    }
    ~RecordedMessages() {
        SetCriticalMessageFunction({});
        SetWarningMessageFunction({});
    }
    RecordedMessages(const RecordedMessages&) = delete;
    RecordedMessages& operator=(const RecordedMessages&) = delete;

    QStringList critical;
    QStringList warnings;
};

// The message boxes now open anywhere in the application: none may be while the
// messages are recorded.
inline int VisibleMessageBoxes() {
    int open = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(widget) && widget->isVisible())
            ++open;
    return open;
}
