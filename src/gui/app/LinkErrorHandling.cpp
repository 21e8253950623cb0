#include "app/LinkErrorHandling.h"

#include "app/frmMain.h"
#include "device/USBStuff.h"
#include "ui/AppMessages.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace {
bool isPopup(const QWidget* widget) {
    const Qt::WindowType type = widget->windowType();
    return type == Qt::Popup || type == Qt::ToolTip;
}
} // namespace

void HandleLinkError(int16_t, const QString& message) {
    // Stopped first: a tick under the open message box would only raise a second one.
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* main = qobject_cast<frmMain*>(widget))
            main->setMasterTimerEnabled(false);
    ShowCriticalMessage(message, USBStuff::LinkErrorDetails());
    QList<QPointer<QWidget>> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (!isPopup(widget))
            windows.append(widget);
    for (const QPointer<QWidget>& window : windows)
        if (window)
            window->close();
}

void InstallLinkErrorHandler() {
    USBStuff::SetLinkErrorHandler(HandleLinkError);
}
