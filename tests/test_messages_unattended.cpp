// With OTK5530_MESSAGES=stderr every window's refusal arrives as one line on
// stderr and no box is left waiting for a click: an unattended run never blocks.
#include "app/Unattended.h"
#include "app/frmMain.h"
#include "chip/ChipRegisters.h"
#include "device/GeneralStuff.h"
#include "device/USBStuff.h"
#include "support/FilesTestSupport.h"
#include "support/ScriptedAdapter.h"

#include <QCheckBox>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace GeneralStuff;

namespace {
constexpr int32_t kChip = 0x4C;
const QString kLinePrefix = "OTK5530 Evaluation Software: ";

// What the program writes to stderr while `run` runs.
QString stderrOf(const std::function<void()>& run) {
    QTemporaryFile capture;
    EXPECT_TRUE(capture.open());
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(capture.handle(), STDERR_FILENO);
    run();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    QFile written(capture.fileName());
    return written.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(written.readAll()) : QString();
}

class UnattendedMessages : public ::testing::Test {
public:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
        ResetSharedState();
        adapter = InstallScriptedAdapter();
        adapter->setRegister(kChip, 0x21, 10); // THERM hysteresis
        ThrowOnLinkError();
        DeviceAddress = kChip;
        USBStuff::SetApplicationFolder(folder.path()); // where the file dialogs start
        InitDeviceModel();
        main = std::make_unique<frmMain>();
        main->show();
        qputenv("OTK5530_MESSAGES", "stderr");
        InstallMessagesFromEnvironment();
    }
    void TearDown() override {
        SetCriticalMessageFunction({});
        SetWarningMessageFunction({});
        qunsetenv("OTK5530_MESSAGES");
        USBStuff::SetApplicationFolder({});
        StopAnswering();
        main->close();
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ResetSharedState();
    }

    QWidget* open(const char* name) {
        main->OpenChildWindow(name);
        return main->findChild<QWidget*>(name);
    }
    static void type(QWidget* window, const char* box, const QString& text) {
        auto* edit = window->findChild<QLineEdit*>(box);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    static void click(QWidget* window, const char* button) {
        QTest::mouseClick(window->findChild<QAbstractButton*>(button), Qt::LeftButton);
    }

    QTemporaryDir folder;
    ScriptedAdapter* adapter = nullptr;
    std::unique_ptr<frmMain> main;
};
} // namespace

TEST_F(UnattendedMessages, EveryWindowsRefusalIsALineOnStderrAndNoBox) {
    const struct {
        const char* window;
        // The refused action, done as a user does it.
        std::function<void(UnattendedMessages&, QWidget*)> refuse;
        // The message, its line breaks made blanks.
        QString line;
        // The one register kept from the chip where the other settings are still written.
        int32_t refusedRegister = -1;
    } rows[] = {
        {"frmConfig",
         [](UnattendedMessages&, QWidget* w) {
             type(w, "txtTHERMHyst", "-5");
             click(w, "cmdApply");
         },
         "The THERM Hysteresis cannot be negative: enter a number from 0 to 255. The other settings were "
         "written; the chip keeps its hysteresis of 10.",
         kThermHysteresis},
        {"frmSWOptions",
         [](UnattendedMessages&, QWidget* w) {
             type(w, "txtReadInt", "-2147483649");
             click(w, "cmdApply");
         },
         "The reading interval \"-2147483649\" is out of range. Enter a number of milliseconds between "
         "-2147483648 and 2147483647. The reading interval keeps its previous value."},
        // The register map's warning may come from the monitoring tick: it must not wait either.
        {"frmRegMap",
         [](UnattendedMessages&, QWidget* w) {
             type(w, "txtReadAddr", "1000");
             click(w, "cmdRead");
         },
         "The read address \"1000\" is not a register address. Enter a hexadecimal address from 0 to FF."},
        {"frmLogging",
         [](UnattendedMessages& t, QWidget* w) {
             for (const char* box : {"chkLog_0", "chkLog_1", "chkLog_2"})
                 w->findChild<QCheckBox*>(box)->setChecked(false);
             AnswerFileDialog(t.folder.filePath("run.csv"));
             click(w, "cmdLogData");
         },
         "At least one item must be selected for logging"},
        {"frmSave",
         [](UnattendedMessages& t, QWidget* w) {
             AnswerFileDialog(t.folder.filePath("gone/board.sav"));
             click(w, "cmdsave");
         },
         "The settings could not be saved to " + QDir::toNativeSeparators(folder.filePath("gone/board.sav"))},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.window);
        QWidget* window = open(row.window);
        ASSERT_NE(window, nullptr);
        const QString printed = stderrOf([&] {
            row.refuse(*this, window);
            QCoreApplication::processEvents();
        });
        QStringList messages;
        for (const QString& line : printed.split('\n'))
            if (line.startsWith(kLinePrefix))
                messages << line.mid(kLinePrefix.size());
        ASSERT_EQ(messages.size(), 1) << printed.toStdString();
        EXPECT_TRUE(messages[0].startsWith(row.line)) << messages[0].toStdString();
        EXPECT_EQ(VisibleMessageBoxes(), 0);
        for (const RegisterWrite& w : adapter->writes())
            EXPECT_TRUE(row.refusedRegister >= 0 && w.reg != row.refusedRegister)
                << "a refused entry reached the chip at " << w.reg;
        adapter->clearLog();
    }
}

// Without a replacement the input warning still returns at once, leaving its box
// open over the window: the monitoring tick that found the entry goes on.
TEST(InputWarning, ReturnsAtOnceWithTheBoxOpenOverTheWindow) {
    QWidget window;
    window.show();
    for (const Qt::WindowModality modality : {Qt::ApplicationModal, Qt::WindowModal}) {
        ShowInputWarning(&window, "refused", modality);
        auto* box = window.findChild<QMessageBox*>();
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->windowModality(), modality);
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->windowTitle(), "OTK5530 Evaluation Software");
        EXPECT_EQ(box->text(), "refused");
        box->close(); // deletes itself
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(window.findChild<QMessageBox*>(), nullptr);
    }
}
