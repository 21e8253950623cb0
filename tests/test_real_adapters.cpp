// The real program with --adapter usb and --adapter i2c:... against the fakes at the system
// boundary (fakes/README.md): its real libusb and i2c-dev code connects, monitors and logs,
// and every fault ends with its message and exit status, with nothing logged that the chip
// did not measure.
#include "support/FakeBoundary.h"
#include "support/ProgramProcess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

const QString kTitle = "OTK5530 Evaluation Software";
// Only a bound for a hung run: sound runs end by a signal once they have logged, faults end by themselves.
constexpr int kRunTimeoutMs = 90000;
constexpr int kLinesBeforeTheSignal = 3;
// drift=off holds the simulated chip's readings exactly; anything else in the log was not measured.
const QStringList kMeasured{"25", "33.75", "30.5"};
const QString kSteadyChip = "drift=off";

struct ProgramRun {
    const char* name;
    QString adapter;           // the --adapter value; "i2c:" gets the fake bus path
    QStringList fakeSettings;  // OTK5530_FAKE_USB or OTK5530_FAKE_I2C, the journal added
    QStringList environment;   // further NAME=value
    bool shippedImage = false; // the program's own folder, with the simulated board's image
    int exitCode = 0;          // 0: a sound run, ended by SIGTERM once it has logged
    QStringList stderrParts;   // each must appear on stderr
    bool logs = false;         // data lines must be logged
    QStringList journalParts;  // each must appear in the fake's journal
    QStringList journalAbsent; // none may
};

class RealAdapterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The program looks for its firmware beside itself: a copy with a sound adapter image.
        folder = new QTemporaryDir;
        ASSERT_TRUE(CopyBesideSoundImage(ProgramPath(), folder->path(), "otk5530-eval"));
    }
    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }

    struct Started {
        const ProgramRun* run;
        std::unique_ptr<QTemporaryDir> home;
        std::unique_ptr<QProcess> process;
        QString journal() const { return home->filePath("journal.txt"); }
        QString log() const { return home->filePath("log.csv"); }
    };

    static Started start(const ProgramRun& run) {
        Started started{&run, std::make_unique<QTemporaryDir>(), std::make_unique<QProcess>()};
        const bool i2c = run.adapter.startsWith("i2c:");
        QString adapter = run.adapter;
        if (i2c)
            adapter.replace("i2c:", "i2c:" + started.home->filePath("i2c-7"));
        QProcessEnvironment env =
            FakeBoundaryEnvironment(UnattendedEnvironment(started.home->path(), kSteadyChip), i2c,
                                    i2c ? OTK_FAKE_I2CDEV : OTK_FAKE_LIBUSB, run.fakeSettings,
                                    started.journal(), started.home->filePath("i2c-7"));
        for (const QString& pair : run.environment)
            env.insert(pair.section('=', 0, 0), pair.section('=', 1));
        started.process->setProcessEnvironment(env);
        const QString program = run.shippedImage ? ProgramPath() : folder->filePath("otk5530-eval");
        started.process->start(program, {"--adapter", adapter, "--log", started.log()});
        return started;
    }

    // Data lines of a log, the title block left out.
    static QStringList logDataLines(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines;
        bool inData = false;
        for (const QByteArray& raw : file.readAll().split('\n')) {
            const QString line = QString::fromLatin1(raw).trimmed();
            if (inData && !line.isEmpty())
                lines << line;
            inData = inData || line.startsWith("Time ,");
        }
        return lines;
    }

    // A sound run is asked to close once it has logged a few lines, however long that takes.
    static void signalOnceLogged(Started& started) {
        QProcess& process = *started.process;
        const QDeadlineTimer hung(kRunTimeoutMs);
        process.waitForStarted(kRunTimeoutMs); // until then its state says Starting, however long it has run
        while (logDataLines(started.log()).size() < kLinesBeforeTheSignal &&
               process.state() == QProcess::Running && !hung.hasExpired())
            process.waitForReadyRead(100);
        if (process.state() == QProcess::Running)
            ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    }

    static void check(Started& started) {
        const ProgramRun& run = *started.run;
        SCOPED_TRACE(run.name);
        QProcess& process = *started.process;
        if (run.exitCode == 0)
            signalOnceLogged(started);
        const auto [finished, errors] = WaitForProgramEnd(process, kRunTimeoutMs);
        ASSERT_TRUE(finished) << "hung; stderr: " << errors.toStdString();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << errors.toStdString();
        EXPECT_EQ(process.exitCode(), run.exitCode) << errors.toStdString();
        for (const QString& part : run.stderrParts)
            EXPECT_TRUE(errors.contains(part))
                << "missing: " << part.toStdString() << "\nstderr: " << errors.toStdString();
        QFile journalFile(started.journal());
        const QString journal =
            journalFile.open(QIODevice::ReadOnly) ? QString(journalFile.readAll()) : QString();
        for (const QString& part : run.journalParts)
            EXPECT_TRUE(journal.contains(part)) << "missing in the journal: " << part.toStdString();
        for (const QString& part : run.journalAbsent)
            EXPECT_FALSE(journal.contains(part)) << "in the journal: " << part.toStdString();
        expectOnlyMeasuredValues(started.log(), run.logs);
    }

    // Every logged temperature is one the chip measured: a failed transfer never became 255 °C.
    static void expectOnlyMeasuredValues(const QString& path, bool logs) {
        const QStringList lines = logDataLines(path);
        for (const QString& line : lines) {
            const QStringList fields = line.split(',', Qt::SkipEmptyParts);
            ASSERT_EQ(fields.size(), 4) << line.toStdString();
            for (int i = 1; i < 4; ++i)
                EXPECT_EQ(fields[i].trimmed(), kMeasured[i - 1]) << line.toStdString();
        }
        if (logs) {
            EXPECT_FALSE(lines.isEmpty()) << "nothing logged";
        } else {
            EXPECT_FALSE(QFile::exists(path)) << "a log without a connection";
        }
    }

    static void runAll(const std::vector<ProgramRun>& runs) {
        std::vector<Started> started;
        for (const ProgramRun& run : runs)
            started.push_back(start(run));
        for (Started& each : started)
            check(each);
    }

    static QTemporaryDir* folder;
};

QTemporaryDir* RealAdapterTest::folder = nullptr;

const QString kFirmwareFailed = kTitle + ": Firmware failed to download - Check USB connections";
const QString kInitialConnectionFailed = kTitle + ": Initial Connection Failed - Check USB connections";
const QString kCommunicationsInterrupted = kTitle + ": Communications Interrupted - Check USB connections";

TEST_F(RealAdapterTest, UsbAdapterThroughItsLife) {
    runAll({
        // Loaded under the loader id, back on the same port under the firmware id, monitored and
        // logged; the second adapter (already running our firmware, on another port) is never used.
        {"LoadsReEnumeratesConnectsAndLogs",
         "usb",
         {"adapters=2"},
         {},
         false,
         0,
         {},
         true,
         {"adapter 1: CPU started on the loaded firmware", "adapter 1: back under the firmware id",
          "adapter 1: request 222"},
         {"adapter 2: request", "adapter 2: opened", "without a claimed interface"}},
        // A boot EEPROM with our id: the stale device (same id, old address) must not be taken.
        {"SameIdBeforeAndAfterTheStaleDeviceIsPassedOver",
         "usb",
         {"loader=0x5530", "release=pipe"},
         {"OTK5530_USB_LOADER=04b4:5530"},
         false,
         0,
         {},
         true,
         {"adapter 1: back under the firmware id", "adapter 1: request 222"},
         {}},
        {"AlreadyRunningIsKeptWithoutADownload",
         "usb",
         {"running"},
         {},
         false,
         0,
         {},
         true,
         {"adapter 1: request 222"},
         {"CPU started"}},
        {"ShippedSimulatedImageIsRefusedBeforeAnyTransfer",
         "usb",
         {},
         {},
         true,
         2,
         {"is the simulated board's image, not USB adapter firmware", "or use --adapter sim"},
         false,
         {},
         {"opened", "CPU started"}},
        {"BusyAdapter",
         "usb",
         {"busy"},
         {},
         false,
         2,
         {"is in use by another program"},
         false,
         {},
         {"request"}},
        {"AccessDenied",
         "usb",
         {"access"},
         {},
         false,
         2,
         {"LIBUSB_ERROR_ACCESS", "70-otk5530-eval.rules"},
         false,
         {},
         {}},
        {"NeverComesBack",
         "usb",
         {"never_back"},
         {},
         false,
         1,
         {kFirmwareFailed, "did not come back as 04b4:5530 on bus 1, port 2"},
         false,
         {"CPU started on the loaded firmware"},
         {"request 222"}},
        // Unplugged after start-up and some seconds of monitoring.
        {"UnpluggedMidRun",
         "usb",
         {"unplug_after=100"},
         {},
         false,
         1,
         {kCommunicationsInterrupted, "no device (the adapter left the bus)"},
         true,
         {"unplugged"},
         {}},
    });
}

TEST_F(RealAdapterTest, LinuxI2cBusThroughItsFaults) {
    runAll({
        {"ConnectsMonitorsAndLogs", "i2c:", {}, {}, false, 0, {}, true, {"read 76 254 = 65"}, {}},
        // EIO mid-run is a bus fault: never 0xFF shown or logged as 255 °C.
        {"BusFaultMidRun",
         "i2c:",
         {"eio_after=110"},
         {},
         false,
         1,
         {kCommunicationsInterrupted, "Input/output error"},
         true,
         {},
         {}},
        {"ChipFallsSilentMidRun",
         "i2c:",
         {"nack_after=110"},
         {},
         false,
         1,
         {kCommunicationsInterrupted, "No such device or address"},
         true,
         {},
         {}},
        {"AddressKeptByAKernelDriver",
         "i2c:",
         {"busy=0x4C:lm90"},
         {},
         false,
         1,
         {kInitialConnectionFailed, "in use by the kernel driver lm90", "7-004c", "drivers/lm90/unbind"},
         false,
         {},
         {"read 76"}},
        {"ForcedPastTheKernelDriver",
         "i2c:,force",
         {"busy=0x4C:lm90"},
         {},
         false,
         0,
         {"warning: force:"},
         true,
         {"read 76 254 = 65"},
         {}},
        {"NoI2cFunctions",
         "i2c:",
         {"funcs=none"},
         {},
         false,
         2,
         {"is no I2C adapter device"},
         false,
         {},
         {"read"}},
        {"NoByteDataWrite",
         "i2c:",
         {"funcs=0x00080001"},
         {},
         false,
         2,
         {"cannot do SMBus byte-data reads and writes"},
         false,
         {},
         {"read"}},
    });
}

} // namespace
