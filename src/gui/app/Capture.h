#pragma once
// The --capture option: a picture of the main window with its child windows.
#include <QPixmap>
#include <QString>

// The picture --capture saves: the main window with its child windows (null without one).
QPixmap CapturePicture();

// After the given time, saves the main window to the file and quits the event
// loop (exit status 0, or 3 when the picture could not be saved).
void ScheduleCapture(const QString& file, double afterSeconds);
