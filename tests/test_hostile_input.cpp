// Bad texts typed or pasted into every text box of every window: none may end
// the program, send an out-of-range request to the chip, write anything for a
// refused entry, or leave the window unable to take a good entry afterwards.
#include "app/frmMain.h"
#include "chip/ChipRegisters.h"
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "support/FilesTestSupport.h"
#include "support/ScriptedAdapter.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace GeneralStuff;

namespace {
constexpr int32_t kChip = 0x4C;

const QStringList& badTexts() {
    static const QStringList texts{
        "",
        "abc",
        "0x1g",
        "99999999999999999999",
        QString(400, '9'),
        "-1",
        "-99999999999",
        "1FF",
        "\t\r\x01",
        // A comment that tries to start a register list of its own in a settings file.
        "x\r\n{\r\n0x9\t0xFF\r\n}",
        QString(100000, '7'),
    };
    return texts;
}

bool typable(const QString& text) {
    if (text.size() > 40)
        return false;
    for (const QChar c : text)
        if (c.unicode() < 0x20)
            return false;
    return true;
}

// Public: the table's steps are lambdas outside the fixture.
class HostileInput : public ::testing::Test {
public:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
        ResetSharedState();
        adapter = InstallScriptedAdapter();
        adapter->setRegister(kChip, 0x03, 0x00);
        ThrowOnLinkError(&linkErrors);
        DeviceAddress = kChip;
        InitDeviceModel();
        main = std::make_unique<frmMain>();
        main->show();
        for (const char* name : {"frmRegMap", "frmConfig", "frmSWOptions", "frmLogging", "frmSave"})
            main->OpenChildWindow(name);
    }
    void TearDown() override {
        StopAnswering();
        main->close();
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ResetSharedState();
    }

    QWidget* window(const char* name) const { return main->findChild<QWidget*>(name); }
    QLineEdit* box(const char* windowName, const char* name) const {
        return window(windowName)->findChild<QLineEdit*>(name);
    }
    void click(const char* windowName, const char* name) const {
        QTest::mouseClick(window(windowName)->findChild<QAbstractButton*>(name), Qt::LeftButton);
    }
    // Replaces the box's text as a user does: select all and delete, then type, or paste
    // what cannot be typed (control characters, very long texts).
    void enter(const char* windowName, const char* name, const QString& text) const {
        QLineEdit* target = box(windowName, name);
        target->setFocus();
        target->selectAll();
        QTest::keyClick(target, Qt::Key_Delete);
        if (typable(text)) {
            QTest::keyClicks(target, text);
            return;
        }
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    }
    void pressEnter(const char* windowName, const char* name) const {
        QTest::keyClick(box(windowName, name), Qt::Key_Return);
    }

    // The requests sent since `from`, checked for what the chip can take. A refused entry
    // writes nothing, or nothing to refusedRegister where only that register is refused.
    void expectSoundRequests(size_t from, bool refused, int32_t refusedRegister = -1) const {
        for (size_t i = from; i < adapter->requests.size(); ++i) {
            const AdapterRequest& r = adapter->requests[i];
            EXPECT_EQ(r.value, kChip);
            if (r.request == 0xDE && r.direction == 0) {
                EXPECT_FALSE(refused && (refusedRegister < 0 || (r.index & 0xFF) == refusedRegister))
                    << "a refused entry wrote register " << (r.index & 0xFF);
                EXPECT_GE(r.index, 0) << "negative data";
                EXPECT_LE(r.index, 0xFFFF) << "register or data beyond a byte";
            } else {
                EXPECT_GE(r.index, 0);
                EXPECT_LE(r.index, 0xFF) << "read of a register beyond FF";
            }
        }
    }

    QTemporaryDir folder;
    ScriptedAdapter* adapter = nullptr;
    std::vector<int16_t> linkErrors;
    std::unique_ptr<frmMain> main;
    // Every refusal arrives here instead of in a box that would wait for a click.
    RecordedMessages messages;
    QStringList& warnings = messages.warnings;
    int files = 0;
};

struct BoxCase {
    const char* window;
    const char* box;
    // The other boxes the action uses hold good values first.
    std::function<void(HostileInput&)> prepare;
    std::function<void(HostileInput&)> act;
    // A good entry and its action, then what shows it worked.
    std::function<void(HostileInput&)> useWell;
    // The one register a refusal leaves alone while the action writes the others; -1: all.
    int32_t refusedRegister = -1;
};
} // namespace

TEST_F(HostileInput, BadTextsNeverEndTheProgramReachTheChipOrSpoilTheWindow) {
    const auto regMapReady = [](HostileInput& t) {
        t.enter("frmRegMap", "txtReadAddr", "3");
        t.enter("frmRegMap", "txtWriteAddr", "9");
        t.enter("frmRegMap", "txtDec", "5");
    };
    const auto expectLastWrite = [](HostileInput& t, RegisterWrite expected) {
        ASSERT_FALSE(t.adapter->writes().empty());
        EXPECT_EQ(t.adapter->writes().back(), expected);
    };
    const auto saveTo = [](HostileInput& t) {
        const QString path = t.folder.filePath(QString("settings%1.sav").arg(++t.files));
        AnswerFileDialog(path);
        t.click("frmSave", "cmdsave");
        return path;
    };
    const auto startAndStopLogging = [](HostileInput& t) {
        AnswerFileDialog(t.folder.filePath(QString("log%1.csv").arg(++t.files)));
        t.click("frmLogging", "cmdLogData");
        if (LoggingActive)
            t.click("frmLogging", "cmdLogData");
    };

    const BoxCase cases[] = {
        {"frmRegMap",
         "txtReadAddr",
         {},
         [](HostileInput& t) { t.click("frmRegMap", "cmdRead"); },
         [](HostileInput& t) {
             t.enter("frmRegMap", "txtReadAddr", "3");
             t.click("frmRegMap", "cmdRead");
             EXPECT_EQ(t.window("frmRegMap")->findChild<QLabel*>("lblCurrentAddr")->text(), "3h");
         }},
        {"frmRegMap", "txtWriteAddr", regMapReady, [](HostileInput& t) { t.click("frmRegMap", "cmdWrite"); },
         [=](HostileInput& t) {
             regMapReady(t);
             t.click("frmRegMap", "cmdWrite");
             expectLastWrite(t, {kConfig1Write, 5});
         }},
        {"frmRegMap", "txtHex", regMapReady, [](HostileInput& t) { t.pressEnter("frmRegMap", "txtHex"); },
         [=](HostileInput& t) {
             regMapReady(t);
             t.enter("frmRegMap", "txtHex", "1A");
             t.pressEnter("frmRegMap", "txtHex");
             expectLastWrite(t, {kConfig1Write, 0x1A});
         }},
        {"frmRegMap", "txtDec", regMapReady,
         [](HostileInput& t) {
             t.pressEnter("frmRegMap", "txtDec");
             t.click("frmRegMap", "cmdWrite");
         },
         [=](HostileInput& t) {
             regMapReady(t);
             t.enter("frmRegMap", "txtDec", "7");
             t.pressEnter("frmRegMap", "txtDec");
             expectLastWrite(t, {kConfig1Write, 7});
         }},
        {"frmConfig",
         "txtTHERMHyst",
         {},
         [](HostileInput& t) { t.click("frmConfig", "cmdApply"); },
         [=](HostileInput& t) {
             t.enter("frmConfig", "txtTHERMHyst", "3");
             t.click("frmConfig", "cmdApply");
             expectLastWrite(t, {kThermHysteresis, 3});
         },
         kThermHysteresis},
        {"frmSWOptions",
         "txtReadInt",
         {},
         [](HostileInput& t) { t.click("frmSWOptions", "cmdApply"); },
         [](HostileInput& t) {
             t.enter("frmSWOptions", "txtReadInt", "200");
             t.click("frmSWOptions", "cmdApply");
             EXPECT_EQ(ReadInterval, 200);
         }},
        {"frmSWOptions",
         "txtGraphing",
         {},
         [](HostileInput& t) { t.click("frmSWOptions", "cmdApply"); },
         [](HostileInput& t) {
             t.enter("frmSWOptions", "txtGraphing", "300");
             t.click("frmSWOptions", "cmdApply");
             EXPECT_EQ(GraphInterval, 300);
         }},
        {"frmSWOptions",
         "txtLogging",
         {},
         [](HostileInput& t) { t.click("frmSWOptions", "cmdApply"); },
         [](HostileInput& t) {
             t.enter("frmSWOptions", "txtLogging", "400");
             t.click("frmSWOptions", "cmdApply");
             EXPECT_EQ(LogInterval, 400);
         }},
        {"frmLogging",
         "txtLogInt",
         {},
         startAndStopLogging,
         [](HostileInput& t) {
             t.enter("frmLogging", "txtLogInt", "250");
             AnswerFileDialog(t.folder.filePath("good.csv"));
             t.click("frmLogging", "cmdLogData");
             EXPECT_TRUE(LoggingActive);
             EXPECT_EQ(LogInterval, 250);
             t.click("frmLogging", "cmdLogData");
         }},
        {"frmSave",
         "txtComment",
         {},
         [=](HostileInput& t) {
             const QString path = saveTo(t);
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the settings were not saved";
             const QList<QByteArray> lines = file.readAll().split('\n');
             // The comment is one line: the register list still starts where it should.
             ASSERT_GE(lines.size(), 9);
             EXPECT_TRUE(lines[5].startsWith("Comment : "));
             EXPECT_EQ(lines[6], "\r");
             EXPECT_EQ(lines.count("{\r"), 1);
             EXPECT_EQ(lines[8], "{\r");
         },
         [=](HostileInput& t) {
             t.enter("frmSave", "txtComment", "fine");
             QFile file(saveTo(t));
             ASSERT_TRUE(file.open(QIODevice::ReadOnly));
             EXPECT_TRUE(file.readAll().contains("Comment : fine\r\n"));
         }},
    };

    for (const BoxCase& c : cases) {
        for (const QString& text : badTexts()) {
            SCOPED_TRACE(QString("%1.%2 \"%3\"").arg(c.window, c.box, text.left(24)).toStdString());
            if (c.prepare)
                c.prepare(*this);
            warnings.clear();
            const size_t before = adapter->requests.size();
            enter(c.window, c.box, text);
            c.act(*this);
            QCoreApplication::processEvents();
            expectSoundRequests(before, !warnings.isEmpty(), c.refusedRegister);
            ASSERT_TRUE(linkErrors.empty());
            warnings.clear();
            c.useWell(*this);
            QCoreApplication::processEvents();
            EXPECT_TRUE(warnings.isEmpty())
                << "a good entry was refused: " << warnings.join('\n').toStdString();
            ASSERT_TRUE(main->isVisible());
            ASSERT_TRUE(window(c.window)) << "the window closed";
            ASSERT_EQ(VisibleMessageBoxes(), 0) << "a box waits for a click";
        }
    }
    EXPECT_TRUE(linkErrors.empty());
}
