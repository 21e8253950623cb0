#pragma once
// The one place that knows which window class name builds which window.
#include <QString>
#include <QWidget>
#include <functional>

struct ChildWindow {
    QWidget* widget = nullptr;  // nullptr: no window of that name
    std::function<void()> load; // the window's Form_Load
};

// A new, unshown window of the class, or an empty ChildWindow for a name it does not know.
ChildWindow CreateChildWindow(const QString& className);

// Whether the catalogue itself (not a test's replacement) has a window of that name.
bool IsWindowClass(const QString& className);

// Replaces the table (tests open windows of their own); empty restores it.
using WindowFactory = std::function<ChildWindow(const QString& className)>;
void SetWindowFactory(WindowFactory factory);
