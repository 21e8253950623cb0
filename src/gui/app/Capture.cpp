#include "app/Capture.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {
constexpr int kSaveFailed = 3;

QWidget* mainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == "frmMain")
            return widget;
    return nullptr;
}
} // namespace

QPixmap CapturePicture() {
    QWidget* window = mainWindow();
    return window ? window->grab() : QPixmap();
}

void ScheduleCapture(const QString& file, double afterSeconds) {
    QTimer::singleShot(static_cast<int>(afterSeconds * 1000), qApp, [file] {
        const QPixmap picture = CapturePicture();
        if (!picture.isNull() && picture.save(file)) {
            QCoreApplication::exit(0);
            return;
        }
        std::fprintf(stderr, "Could not save the picture to %s\n", qPrintable(file));
        QCoreApplication::exit(kSaveFailed);
    });
}
