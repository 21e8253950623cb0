#pragma once
// Sizes and positions are specified in twips: 15 twips per pixel at 96 dpi.
// The one widget helper the windows of every folder share.
#include <QGuiApplication>
#include <QList>
#include <QMdiSubWindow>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <cmath>

constexpr double kTwipsPerPixel = 15.0;

inline int Px(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
inline double Twips(int pixels) {
    return pixels * kTwipsPerPixel;
}
inline QRect PxRect(double left, double top, double width, double height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

// A child window's outer size: its MDI frame when it has one, else its own.
inline void SetOuterSize(QWidget* view, double widthTwips, double heightTwips) {
    QWidget* outer = qobject_cast<QMdiSubWindow*>(view->parentWidget()) ? view->parentWidget() : view;
    outer->resize(Px(widthTwips), Px(heightTwips));
}

// Each screen's area free of panels and docks, in twips: where a stored place may put a window.
inline QList<QRectF> AvailableScreensInTwips() {
    QList<QRectF> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect available = screen->availableGeometry();
        screens.append(QRectF(Twips(available.x()), Twips(available.y()), Twips(available.width()),
                              Twips(available.height())));
    }
    return screens;
}

inline QWidget* OuterWindow(QWidget* view) {
    return qobject_cast<QMdiSubWindow*>(view->parentWidget()) ? view->parentWidget() : view;
}
