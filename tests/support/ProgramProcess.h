#pragma once
// The real program as a child process, run unattended on the simulated board: offscreen,
// a home and settings store of its own, every message on stderr, no start-up pauses.
#include <QCoreApplication>
#include <QProcess>
#include <QString>

// otk5530-eval, built beside the tests.
inline QString ProgramPath() {
    return QCoreApplication::applicationDirPath() + "/otk5530-eval";
}

// The environment of an unattended run whose home is `home`; simConfig as OTK5530_SIM
// takes it. An adapter chosen in the caller's own environment is left out.
inline QProcessEnvironment UnattendedEnvironment(const QString& home, const QString& simConfig) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"OTK5530_ADAPTER", "OTK5530_USB", "OTK5530_USB_LOADER"})
        env.remove(name);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("OTK5530_SIM", simConfig);
    env.insert("OTK5530_MESSAGES", "stderr");
    env.insert("OTK5530_FAST_START", "1");
    return env;
}

// The settings store of a run whose home is `home`, where the main window's geometry goes.
inline QString StoredSettingsFile(const QString& home, const QString& title) {
    return home + "/config/" + title + "/" + title + ".conf";
}

struct ProgramEnd {
    bool finished = false; // false: it hung and was killed
    QString errors;        // all it wrote to stderr
};

// Waits up to timeoutMs for the program to end by itself, kills it if it does not.
inline ProgramEnd WaitForProgramEnd(QProcess& process, int timeoutMs) {
    const bool finished = process.waitForFinished(timeoutMs);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    return {finished, QString::fromLocal8Bit(process.readAllStandardError())};
}
