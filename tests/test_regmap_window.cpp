#include "app/Announcements.h"
#include "app/MonitoringCycle.h"
#include "app/ViewWiring.h"
#include "device/ChipChanges.h"
#include "device/USBStuff.h"
#include "support/RegMapWindowFixture.h"
#include "ui/Twips.h"
#include "views/RegisterTree.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

using Writes = std::vector<RegisterWrite>;
using Reads = std::vector<int32_t>;

TEST_F(RegMapWindowTest, LoadFillsSlotAndReadsNothing) {
    EXPECT_TRUE(GeneralStuff::RegMapOpen);
    EXPECT_EQ(OpenWindows::program().regMap, window.get());
    EXPECT_TRUE(adapter->requests.empty());
    EXPECT_EQ(window->windowTitle(), "Register Map");
    EXPECT_EQ(window->size(), QSize(Px(8430), Px(6330)));
    EXPECT_EQ(text("lblRegDescription"), "Description");
    EXPECT_EQ(text("lblCurrentAddr"), "Address");
    EXPECT_EQ(text("lblHexVal"), "HexVal");
    EXPECT_EQ(text("lblDecVal"), "DecVal");
    EXPECT_EQ(text("txtHex"), "0H");
    EXPECT_EQ(text("txtDec"), "0");
    EXPECT_EQ(bits(), "00000000");
    EXPECT_EQ(bitNames(), QStringList(8, "X"));
    // Automatic reads are the user's choice: a status register can clear on reading.
    EXPECT_FALSE(OpenWindows::program().regMap->continuousReadTicked());
}

struct ReadCase {
    const char* why;
    QString typed;
    uint8_t chipValue;
    QString description;
    QString currentAddr;
    QString readAddrBox;
    QString writeAddrBox;
    int32_t addressRead;
    QStringList bitNames;
    QString hexVal;
};

TEST_F(RegMapWindowTest, ReadShowsRegisterAtTypedAddress) {
    const QStringList numbered{"7", "6", "5", "4", "3", "2", "1", "0"};
    const ReadCase cases[] = {
        {"an empty box reads address 0",
         "",
         0x19,
         "Local Temp Value",
         "0h",
         "0H",
         "0h",
         0x00,
         {"7", "6", "5", "4", "3", "2", "1", "0"},
         "19H"},
        {"read and write addresses differ; the third name keeps its blank",
         "3",
         0x05,
         "Configuration Reg 1",
         "3h",
         "3H",
         "9h",
         0x03,
         {"Msk", "Mn/Sty", " AL/TH", "Res", "Rm1/2", "TmpR", "MkR1", "MkR2"},
         "5H"},
        {"a shared address shows its Remote 1 record",
         "1",
         0x2A,
         "Remote 1 Temp High Byte (bit 3 Config Reg =0)",
         "1h",
         "1H",
         "0h",
         0x01,
         {"10", "9", "8", "7", "6", "5", "4", "3"},
         "2AH"},
        {"an address in no record is read all the same", "50", 0xA5, "Unknown", "50h", "50H", "Bh", 0x50,
         numbered, "A5"},
        {"typed lower case reads as upper case", "1a", 0x00, "Unknown", "1Ah", "1AH", "Bh", 0x1A, numbered,
         "0"},
        {"the address box's own suffix does not disturb reading it back",
         "14h",
         0x40,
         "Remote 1 Low Limit,Low Byte (bit 3 Config Reg =0)",
         "14h",
         "14H",
         "14h",
         0x14,
         {"2", "1", "0", "-", "-", "-", "-", "-"},
         "40H"},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.why);
        // A known register first, so the write address box holds something to keep.
        adapter->setRegister(kChip, 0x05, 0x55);
        readAddress("5");
        adapter->setRegister(kChip, c.addressRead, c.chipValue);
        adapter->clearLog();

        readAddress(c.typed);

        EXPECT_EQ(adapter->reads(), Reads{c.addressRead});
        EXPECT_EQ(text("lblRegDescription"), c.description);
        EXPECT_EQ(text("lblCurrentAddr"), c.currentAddr);
        EXPECT_EQ(text("txtReadAddr"), c.readAddrBox);
        EXPECT_EQ(text("txtWriteAddr"), c.writeAddrBox);
        EXPECT_EQ(bitNames(), c.bitNames);
        EXPECT_EQ(text("lblHexVal"), c.hexVal);
        EXPECT_EQ(text("lblDecVal"), QString::number(c.chipValue));
        EXPECT_EQ(text("lblHex"), QString::number(c.chipValue, 16).toUpper() + "H");
        EXPECT_EQ(text("lblDec"), QString::number(c.chipValue));
        EXPECT_EQ(bits(), QString::number(c.chipValue, 2).rightJustified(8, '0'));
    }
}

TEST_F(RegMapWindowTest, SharedAddressShowsRemote1RecordWhicheverBankIsSelected) {
    for (const bool remote2 : {false, true}) {
        SCOPED_TRACE(remote2 ? "Remote2 selected" : "Remote1 selected");
        GeneralStuff::Remote2Selected = remote2;
        adapter->setRegister(kChip, 0x03, remote2 ? 0x08 : 0x00);
        readAddress("1");
        EXPECT_EQ(text("lblRegDescription"), "Remote 1 Temp High Byte (bit 3 Config Reg =0)");
    }
}

TEST_F(RegMapWindowTest, ReadAddressBoxTurnsUpperCaseAsTyped) {
    auto* box = control<QLineEdit>("txtReadAddr");
    typeInto("txtReadAddr", "ab");
    EXPECT_EQ(box->text(), "AB");
    // Typing in the middle leaves the cursor after the typed character.
    box->setCursorPosition(1);
    QTest::keyClicks(box, "c");
    EXPECT_EQ(box->text(), "ACB");
    EXPECT_EQ(box->cursorPosition(), 2);
    EXPECT_TRUE(adapter->requests.empty());
}

TEST_F(RegMapWindowTest, ValueBoxesFollowEachOtherWithoutEcho) {
    typeInto("txtDec", "255");
    EXPECT_EQ(text("txtHex"), "FF");
    EXPECT_EQ(text("txtDec"), "255");

    // Lower case stays as typed: the decimal box's rewrite does not echo back.
    typeInto("txtHex", "ff");
    EXPECT_EQ(text("txtDec"), "255");
    EXPECT_EQ(text("txtHex"), "ff");

    typeInto("txtDec", "12.5");
    EXPECT_EQ(text("txtHex"), "C");
    EXPECT_EQ(text("txtDec"), "12.5");
    EXPECT_TRUE(adapter->requests.empty());
}

TEST_F(RegMapWindowTest, EnterWritesFromValueBoxesOnly) {
    struct Case {
        const char* box;
        Writes expected;
    } cases[] = {
        {"txtDec", {{0x0B, 100}}},
        {"txtHex", {{0x0B, 100}}},
        {"txtReadAddr", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        readAddress("5");
        typeInto("txtDec", "100");
        adapter->clearLog();
        QTest::keyClick(control<QLineEdit>(c.box), Qt::Key_Return);
        EXPECT_EQ(adapter->writes(), c.expected);
        if (c.expected.empty()) {
            EXPECT_TRUE(adapter->requests.empty());
        }
    }
}

TEST_F(RegMapWindowTest, WriteSendsDecimalValueThenShowsReadBack) {
    adapter->setRegister(kChip, 0x05, 0x55);
    readAddress("5");
    typeInto("txtHex", "64");
    adapter->clearLog();

    click("cmdWrite");

    EXPECT_EQ(adapter->writes(), (Writes{{0x0B, 100}}));
    EXPECT_EQ(adapter->reads(), Reads{0x05});
    EXPECT_EQ(text("lblRegDescription"), "Local Temp High Limit");
    EXPECT_EQ(text("lblDecVal"), "100");
    EXPECT_EQ(text("lblHexVal"), "64H");
}

// The limits window or a recall writes the register on show: it is read again after
// that writer's action; a write to another register, or the window's own, adds no read.
TEST_F(RegMapWindowTest, ShownRegisterFollowsAWriteFromElsewhere) {
    adapter->setRegister(kChip, 0x05, 0x55);
    readAddress("5");
    typeInto("txtHex", "64");
    click("cmdWrite");
    QCoreApplication::processEvents();
    adapter->clearLog();

    {
        const ChipChanges::Action elsewhere;      // another window's action
        USBStuff::WriteRegister(kChip, 0x0C, 20); // Local Low: not shown
        USBStuff::WriteRegister(kChip, 0x0B, 30);
        USBStuff::WriteRegister(kChip, 0x0B, 30);
        QCoreApplication::processEvents(); // a message box of the writer, say
        EXPECT_EQ(adapter->reads(), Reads{}) << "not inside the writer's action";
    }
    EXPECT_EQ(adapter->reads(), Reads{0x05}) << "once for the action";
    EXPECT_EQ(text("lblDecVal"), "30");
}

TEST_F(RegMapWindowTest, WriteOfHalfValueRoundsToEven) {
    readAddress("5");
    for (const auto& [typed, written] : {std::pair{"12.5", 12}, std::pair{"13.5", 14}}) {
        SCOPED_TRACE(typed);
        typeInto("txtDec", typed);
        adapter->clearLog();
        click("cmdWrite");
        EXPECT_EQ(adapter->writes(), (Writes{{0x0B, written}}));
    }
}

TEST_F(RegMapWindowTest, WriteToConfigurationReg1RunsPostWriteUpdate) {
    readAddress("3");
    typeInto("txtDec", "12");
    adapter->clearLog();

    click("cmdWrite");

    EXPECT_EQ(adapter->writes(), (Writes{{0x09, 12}}));
    // The post-write update reads the register before the window reads it back.
    EXPECT_EQ(adapter->reads(), (Reads{0x03, 0x03}));
    EXPECT_TRUE(GeneralStuff::Remote2Selected);
    EXPECT_TRUE(GeneralStuff::ExtendedRange);
}

TEST_F(RegMapWindowTest, BitClickWritesWholeByteThenShowsReadBack) {
    adapter->setRegister(kChip, 0x05, 0x05);
    readAddress("5");
    adapter->clearLog();

    QTest::mouseClick(control<QLabel>("lblBit_7"), Qt::LeftButton);

    EXPECT_EQ(adapter->writes(), (Writes{{0x0B, 0x85}}));
    EXPECT_EQ(adapter->reads(), Reads{0x05});
    EXPECT_EQ(bits(), "10000101");
    EXPECT_EQ(text("lblHexVal"), "85H");

    QTest::mouseClick(control<QLabel>("lblBit_0"), Qt::LeftButton);
    EXPECT_EQ(adapter->writes().back(), (RegisterWrite{0x0B, 0x84}));
    EXPECT_EQ(bits(), "10000100");
}

TEST_F(RegMapWindowTest, BitsShowWhatChipHoldsNotWhatWasClicked) {
    // A read-only register: its write address box shows 0h, so the byte goes to 0x00.
    adapter->setRegister(kChip, 0xFE, 0x41);
    readAddress("FE");
    adapter->clearLog();
    QTest::mouseClick(control<QLabel>("lblBit_1"), Qt::LeftButton);
    EXPECT_EQ(adapter->writes(), (Writes{{0x00, 0x43}}));
    EXPECT_EQ(bits(), "01000001");
}

struct RefusedCase {
    const char* why;
    QString readAddr;
    QString writeAddr;
    QString decimal;
    const char* action; // "cmdRead", "cmdWrite" or "lblBit_3"
    QString messagePart;
};

TEST_F(RegMapWindowTest, OutOfRangeInputIsRefusedAndNothingSent) {
    const RefusedCase cases[] = {
        {"read address above FF", "100", "Bh", "7", "cmdRead", "read address \"100\""},
        {"the placeholder record's address", "3E8", "Bh", "7", "cmdRead", "read address \"3E8\""},
        {"more hex digits than 32 bits hold", "123456789", "Bh", "7", "cmdRead", "from 0 to FF"},
        {"write address above FF", "5", "100", "7", "cmdWrite", "write address \"100\""},
        {"decimal value above a byte", "5", "Bh", "256", "cmdWrite", "value \"256\""},
        {"a half that rounds above a byte", "5", "Bh", "255.5", "cmdWrite", "from 0 to 255"},
        {"negative decimal value", "5", "Bh", "-1", "cmdWrite", "value \"-1\""},
        {"decimal value beyond 32 bits", "5", "Bh", "99999999999", "cmdWrite", "from 0 to 255"},
        {"a write whose read-back address is bad", "1FF", "Bh", "7", "cmdWrite", "read address"},
        {"bit click to a bad write address", "5", "FFFFFFFFF", "7", "lblBit_3", "write address"},
        {"bit click whose read-back address is bad", "ABC", "Bh", "7", "lblBit_3", "read address"},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.why);
        adapter->setRegister(kChip, 0x05, 0x55);
        readAddress("5");
        const QStringList before = shownLabels();
        typeInto("txtReadAddr", c.readAddr);
        typeInto("txtWriteAddr", c.writeAddr);
        typeInto("txtDec", c.decimal);
        adapter->clearLog();

        QTest::mouseClick(control<QWidget>(c.action), Qt::LeftButton);

        EXPECT_TRUE(adapter->requests.empty());
        const QStringList warnings = takeWarnings();
        ASSERT_EQ(warnings.size(), 1);
        EXPECT_TRUE(warnings[0].contains(c.messagePart)) << warnings[0].toStdString();
        EXPECT_EQ(shownLabels(), before);
    }
}

TEST_F(RegMapWindowTest, HexBoxBeyond32BitsGivesDecimalThatWriteRefuses) {
    readAddress("5");
    typeInto("txtHex", "100000000");
    EXPECT_EQ(text("txtDec"), "4294967296");
    adapter->clearLog();
    click("cmdWrite");
    EXPECT_TRUE(adapter->requests.empty());
    EXPECT_EQ(takeWarnings().size(), 1);
}

TEST_F(RegMapWindowTest, MonitoringCycleReadsThroughTheShellsFeed) {
    MonitoringCycle cycle;
    QObject feeds;
    ConnectViewFeeds(cycle, feeds);
    auto* view = OpenWindows::program().regMap;
    ASSERT_EQ(view, window.get());
    EXPECT_FALSE(cycle.currentSettings().regMapReading);
    click("chkContRead");
    EXPECT_TRUE(cycle.currentSettings().regMapReading);

    adapter->setRegister(kChip, 0x00, 25);
    emit Announcements::program().regMapReadDue();
    EXPECT_EQ(adapter->reads(), Reads{0x00});
    EXPECT_EQ(text("lblRegDescription"), "Local Temp Value");
    EXPECT_EQ(text("lblDecVal"), "25");

    click("chkContRead");
    EXPECT_FALSE(cycle.currentSettings().regMapReading);
}

TEST_F(RegMapWindowTest, AutomaticReadOfBadAddressStopsContinuousReadOnce) {
    click("chkContRead");
    typeInto("txtReadAddr", "1000");
    auto* view = OpenWindows::program().regMap;

    view->ReadAction();
    // Unticked at once, so the next half-second tick neither reads nor warns again.
    EXPECT_FALSE(view->continuousReadTicked());
    const QStringList warnings = takeWarnings();
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains("Continuous Read has been switched off"));
    EXPECT_TRUE(adapter->requests.empty());
}

TEST_F(RegMapWindowTest, PlaceholderRecordIsNeverRead) {
    window->ShowRegister(0);
    EXPECT_TRUE(adapter->requests.empty());
    EXPECT_EQ(text("lblRegDescription"), "Description");
}

TEST_F(RegMapWindowTest, ClosingSubWindowUnloads) {
    window.reset();
    EXPECT_FALSE(GeneralStuff::RegMapOpen);
    EXPECT_EQ(OpenWindows::program().regMap, nullptr);

    QMdiArea area;
    auto* view = new frmRegMap;
    QMdiSubWindow* sub = area.addSubWindow(view);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    view->Form_Load();
    sub->show();
    EXPECT_EQ(sub->size(), QSize(Px(8430), Px(6330)));
    EXPECT_TRUE(GeneralStuff::RegMapOpen);
    EXPECT_EQ(OpenWindows::program().regMap, view);

    sub->close();
    EXPECT_FALSE(GeneralStuff::RegMapOpen);
    EXPECT_EQ(OpenWindows::program().regMap, nullptr);
}

TEST_F(RegMapWindowTest, BitsStandFromBit7LeftWithTheirNamesCentredUnder) {
    for (int bit = 0; bit < 8; ++bit) {
        SCOPED_TRACE(bit);
        auto* bitLabel = control<QLabel>(QString("lblBit_%1").arg(bit));
        auto* name = control<QLabel>(QString("lblInfo_%1").arg(7 - bit));
        EXPECT_EQ(bitLabel->parentWidget(), control<QWidget>("fraBits"));
        EXPECT_NEAR(name->geometry().center().x(), bitLabel->geometry().center().x(), 1);
        EXPECT_GT(name->y(), bitLabel->y());
        EXPECT_EQ(bitLabel->font().pointSize(), 24);
        EXPECT_EQ(bitLabel->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        if (bit < 7) {
            EXPECT_GT(bitLabel->x(), control<QLabel>(QString("lblBit_%1").arg(bit + 1))->x());
        }
    }
    EXPECT_EQ(control<QLabel>("lblBit_7")->x(), Px(100));
    for (const char* name : {"lblRegDescription", "lblCurrentAddr", "lblHexVal", "lblDecVal"})
        EXPECT_EQ(control<QLabel>(name)->palette().color(QPalette::WindowText), QColor(0, 128, 0)) << name;
}

TEST_F(RegMapWindowTest, ShownTextsFitTheirLabels) {
    // Status Reg 1 has the longest bit names, Configuration Reg 1 the widest.
    for (const char* address : {"2", "3"}) {
        SCOPED_TRACE(address);
        readAddress(address);
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (label->wordWrap() || label->text().isEmpty())
                continue;
            SCOPED_TRACE(label->text().toStdString());
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
            EXPECT_GE(label->x(), 0);
            EXPECT_LE(label->geometry().right(), label->parentWidget()->width());
        }
    }
}

TEST_F(RegMapWindowTest, TreeMarksRegistersWhoseLastReadDiffersFromDefault) {
    auto* tree = control<QTreeWidget>("TreeView1");
    QTreeWidgetItem* leaf = RegisterTreeLeaf(tree, "Local Temp High Limit");
    ASSERT_NE(leaf, nullptr);
    const QString name = leaf->text(0);
    adapter->setRegister(kChip, 0x05, 0x50);
    window->TreeView1_NodeClick(leaf);
    EXPECT_TRUE(RegisterTreeMarkedNotDefault(leaf));
    EXPECT_FALSE(leaf->icon(0).isNull());
    EXPECT_EQ(leaf->text(0), name);          // the mark sits beside the name, never in it
    adapter->setRegister(kChip, 0x05, 0x55); // back at its power-on default
    window->TreeView1_NodeClick(leaf);
    EXPECT_FALSE(RegisterTreeMarkedNotDefault(leaf));
}
