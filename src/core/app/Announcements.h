#pragma once
// What the monitoring cycle, the connection sequence and logging have to tell
// the user. They announce it here; the shell (ConnectViews) decides which window
// shows it, so no core file names a window.
#include <QObject>
#include <QString>

class Announcements : public QObject {
    Q_OBJECT
public:
    // The program's one announcer.
    static Announcements& program();

signals:
    // A line for the status bar.
    void statusText(const QString& text);
    // The monitoring cycle had to stop logging.
    void loggingStopped();
};
