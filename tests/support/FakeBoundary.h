#pragma once
// Running a real executable (otk5530-eval, otk5530-cli) against the fake libusb or the fake
// i2c-dev (fakes/README.md): a copy of the executable beside a sound adapter image, and the
// child's environment with the fake preloaded.
#include <QFile>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// A small sound adapter image: code at the start of program RAM and a table in data RAM.
inline constexpr char kSoundAdapterImage[] = ":04000000020010806A\r\n"
                                             ":02E00000AA551F\r\n"
                                             ":00000001FF\r\n";

// Copies the executable into the folder with the sound image beside it, where the program
// looks for its firmware (the build's own folder holds the simulated board's image).
inline bool CopyBesideSoundImage(const QString& executable, const QString& folder, const QString& name) {
    QFile image(folder + "/OTK5520FW.Hex");
    return QFile::copy(executable, folder + "/" + name) && image.open(QIODevice::WriteOnly) &&
           image.write(kSoundAdapterImage) == qint64(sizeof kSoundAdapterImage - 1);
}

// The environment for a child on the fake: no adapter overrides of the user's, the preload
// (which a sanitizer build must accept), and the fake's settings with its journal and, for
// I2C, the bus path. Further variables are the caller's.
inline QProcessEnvironment FakeBoundaryEnvironment(bool i2c, const QString& fakeLibrary,
                                                   QStringList fakeSettings, const QString& journal,
                                                   const QString& busPath) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("OTK5530_ADAPTER");
    env.remove("OTK5530_USB");
    env.remove("OTK5530_USB_LOADER");
    const QString sanitizer = env.value("ASAN_OPTIONS");
    env.insert("ASAN_OPTIONS", (sanitizer.isEmpty() ? "" : sanitizer + ":") + "verify_asan_link_order=0");
    env.insert("LD_PRELOAD", fakeLibrary);
    fakeSettings << "journal=" + journal;
    if (i2c)
        fakeSettings << "path=" + busPath;
    env.insert(i2c ? "OTK5530_FAKE_I2C" : "OTK5530_FAKE_USB", fakeSettings.join(','));
    return env;
}
