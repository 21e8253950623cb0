#include "device/ChipChanges.h"
#include "device/GeneralStuff.h"
#include "device/USBStuff.h"
#include "support/RecordedMessages.h"
#include "support/ScriptedAdapter.h"
#include "views/TempGauge.h"
#include "views/frmConfig.h"
#include "views/frmLimits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

constexpr int32_t kChip = 0x4C;

class ConfigDialog : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        adapter = InstallScriptedAdapter();
        ThrowOnLinkError();
        GeneralStuff::DeviceAddress = kChip;
        adapter->readAddressOf = TableReadAddressOf;
        setChip({{0x03, 0x00}, {0x04, 0x08}, {0x24, 0x00}, {0x21, 0x0A}});
    }

    void setChip(const std::map<int32_t, uint8_t>& registers) {
        for (const auto& [reg, value] : registers)
            adapter->setRegister(kChip, reg, value);
    }

    void open() {
        dialog = std::make_unique<frmConfig>();
        dialog->Form_Load();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        adapter->clearLog();
    }

    template <typename T> T* control(const char* name) const {
        T* found = dialog->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char* button) { QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton); }
    void tick(const char* box) { QTest::mouseClick(control<QCheckBox>(box), Qt::LeftButton); }
    void typeHysteresis(const QString& text) {
        QLineEdit* edit = control<QLineEdit>("txtTHERMHyst");
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    int32_t writtenTo(int32_t reg) const {
        for (const RegisterWrite& w : adapter->writes())
            if (w.reg == reg)
                return w.data;
        ADD_FAILURE() << "no write to " << reg;
        return -1;
    }

    ScriptedAdapter* adapter = nullptr;
    std::unique_ptr<frmConfig> dialog;
};

TEST_F(ConfigDialog, CaptionsAndItemsKeepTheirBlanks) {
    open();
    EXPECT_EQ(dialog->windowTitle(), "Configuration");
    EXPECT_EQ(control<QGroupBox>("fraSettings")->title(), "Device  Settings");
    const std::map<const char*, QString> captions{
        {"chkMaskAll", "Mask all  ALERTS on ALERT pin"},
        {"chkExtRange", "Enable  Extended Temp  Range"},
        {"chkR2onR1", "Display Remote2 measurements in Remote1 Regs"},
        {"chkAveraging", "Disable Averaging"},
        {"chkLock", "Enable Register Lock bit"},
    };
    for (const auto& [name, text] : captions)
        EXPECT_EQ(control<QCheckBox>(name)->text(), text) << name;
    QComboBox* rates = control<QComboBox>("cmbConvRate");
    ASSERT_EQ(rates->count(), 11);
    EXPECT_EQ(rates->itemText(2), "0.25  (4 sec)");
    EXPECT_EQ(rates->currentText(), "16 (62.5 ms)"); // the register's default 0x08
    EXPECT_EQ(control<QComboBox>("cmbPin8")->itemText(1), "THERM2");
}

TEST_F(ConfigDialog, LoadReadsFourRegistersInOrder) {
    dialog = std::make_unique<frmConfig>();
    dialog->Form_Load();
    EXPECT_EQ(adapter->reads(), (std::vector<int32_t>{0x03, 0x04, 0x24, 0x21}));
    EXPECT_TRUE(adapter->writes().empty());
    EXPECT_EQ(control<QLineEdit>("txtTHERMHyst")->text(), "10");
}

TEST_F(ConfigDialog, ApplyWritesAllFourRegistersWithReadModifyWrite) {
    open();
    click("cmdApply");
    // The Configuration Reg 1 write is followed by the post-write read-back of 0x03.
    EXPECT_EQ(adapter->reads(), (std::vector<int32_t>{0x03, 0x03, 0x04, 0x24}));
    EXPECT_EQ(adapter->writes(),
              (std::vector<RegisterWrite>{{0x09, 0x00}, {0x0A, 0x08}, {0x24, 0x00}, {0x21, 10}}));
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(ConfigDialog, UnshownBit4IsWrittenBack) {
    setChip({{0x03, 0x10}});
    open();
    click("cmdApply");
    EXPECT_EQ(writtenTo(0x09), 0x10);
}

TEST_F(ConfigDialog, Therm2AndExtendedRangeShowAndGoBackUnchanged) {
    setChip({{0x03, 0x24}});
    open();
    EXPECT_EQ(control<QComboBox>("cmbPin8")->currentText(), "THERM2");
    EXPECT_TRUE(control<QCheckBox>("chkExtRange")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("chkMaskAll")->isChecked());
    click("cmdApply");
    EXPECT_EQ(writtenTo(0x09), 0x24);
    EXPECT_TRUE(GeneralStuff::ExtendedRange); // the post-write update ran
}

TEST_F(ConfigDialog, PickingAConversionRateKeepsAveraging) {
    setChip({{0x04, 0x8A}});
    open();
    QComboBox* rates = control<QComboBox>("cmbConvRate");
    EXPECT_TRUE(control<QCheckBox>("chkAveraging")->isChecked());
    EXPECT_EQ(rates->currentText(), "Continuous");
    for (int press = 0; press < 6; ++press)
        QTest::keyClick(rates, Qt::Key_Up);
    ASSERT_EQ(rates->currentText(), "1 (1 sec)");
    click("cmdApply");
    EXPECT_EQ(writtenTo(0x0A), 0x84);
}

TEST_F(ConfigDialog, CodeWithoutItemShowsNoneAndIsKept) {
    setChip({{0x04, 0x0C}});
    open();
    EXPECT_EQ(control<QComboBox>("cmbConvRate")->currentIndex(), -1);
    EXPECT_EQ(control<QComboBox>("cmbConvRate")->currentText(), "");
    tick("chkAveraging");
    click("cmdApply");
    EXPECT_EQ(writtenTo(0x0A), 0x8C);
}

TEST_F(ConfigDialog, LockTickSetsBit7OfConfigReg2) {
    setChip({{0x24, 0x7F}});
    open();
    tick("chkLock");
    click("cmdApply");
    EXPECT_EQ(writtenTo(0x24), 0xFF);
}

TEST_F(ConfigDialog, TwoLineCheckBoxTogglesFromItsSecondLine) {
    open();
    QCheckBox* box = control<QCheckBox>("chkR2onR1");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() / 2, box->height() - 3));
    EXPECT_TRUE(box->isChecked());
}

TEST_F(ConfigDialog, HysteresisTextIsRoundedAndClamped) {
    const std::vector<std::pair<QString, int32_t>> cases{{"12.5", 12}, {"13.5", 14}, {"300", 255},
                                                         {"abc", 0},   {"", 0},      {"99999999999", 255}};
    open();
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text.toStdString());
        adapter->clearLog();
        typeHysteresis(text);
        click("cmdApply");
        EXPECT_EQ(writtenTo(0x21), expected);
    }
}

// A typed value never stops the dialog: only the hysteresis is refused, once, and OK still closes.
TEST_F(ConfigDialog, NegativeHysteresisIsRefusedAloneAndOkStillCloses) {
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    auto* view = new frmConfig;
    QMdiSubWindow* sub = area.addSubWindow(view);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    view->Form_Load();
    sub->show();
    adapter->clearLog();
    QTest::mouseClick(view->findChild<QCheckBox*>("chkMaskAll"), Qt::LeftButton);
    QLineEdit* edit = view->findChild<QLineEdit*>("txtTHERMHyst");
    edit->selectAll();
    QTest::keyClicks(edit, "-5");
    RecordedMessages messages;
    QTest::mouseClick(view->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    std::vector<int32_t> written;
    for (const RegisterWrite& w : adapter->writes())
        written.push_back(w.reg);
    EXPECT_EQ(written, (std::vector<int32_t>{0x09, 0x0A, 0x24}));
    EXPECT_EQ(adapter->reg(kChip, 0x03), 0x80);
    EXPECT_EQ(adapter->reg(kChip, 0x21), 0x0A);
    EXPECT_TRUE(area.subWindowList().isEmpty()); // OK closed the dialog
    ASSERT_EQ(messages.warnings.size(), 1);      // shown once
    EXPECT_TRUE(messages.warnings[0].contains("cannot be negative"));
    EXPECT_TRUE(messages.warnings[0].contains("hysteresis of 10"));
}

TEST_F(ConfigDialog, NegativeHysteresisOnApplyShowsTheChipsValueAgain) {
    open();
    typeHysteresis("-5");
    RecordedMessages messages;
    click("cmdApply");
    EXPECT_EQ(adapter->writes().size(), 3u);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(control<QLineEdit>("txtTHERMHyst")->text(), "10");
    EXPECT_EQ(messages.warnings.size(), 1);
}

TEST_F(ConfigDialog, OkAppliesThenCloses) {
    open();
    typeHysteresis("20");
    click("cmdOK");
    EXPECT_EQ(adapter->writes().size(), 4u);
    EXPECT_EQ(writtenTo(0x21), 20);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(ConfigDialog, OkClosesItsChildWindow) {
    QMdiArea area;
    area.resize(800, 600);
    auto* view = new frmConfig;
    QMdiSubWindow* sub = area.addSubWindow(view);
    view->Form_Load();
    sub->show();
    area.show();
    EXPECT_EQ(sub->size(), QSize(464, 356)); // 6960 × 5340 twips
    adapter->clearLog();
    QTest::mouseClick(view->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    EXPECT_EQ(adapter->writes().size(), 4u);
    EXPECT_TRUE(sub->isHidden());
}

TEST_F(ConfigDialog, CancelClosesWithoutWriting) {
    open();
    tick("chkStandby");
    typeHysteresis("20");
    click("cmdCancel");
    EXPECT_TRUE(adapter->writes().empty());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(ConfigDialog, SpinButtonsStepTheTextWithinZeroToHundred) {
    open();
    QWidget* spin = control<QWidget>("UpDown1");
    QLineEdit* edit = control<QLineEdit>("txtTHERMHyst");
    const QPoint up(spin->width() / 2, 2);
    const QPoint down(spin->width() / 2, spin->height() - 2);
    const std::vector<std::tuple<QString, QPoint, QString>> cases{
        {"10", up, "11"},    {"10", down, "9"}, {"100", up, "100"},
        {"0", down, "0"},    {"abc", up, "1"}, // typed text counts as its number
        {"250", down, "99"},                   // stepping starts inside the range
        {"12.5", up, "13"},
    };
    for (const auto& [typed, where, shown] : cases) {
        SCOPED_TRACE(typed.toStdString());
        edit->setText(typed);
        QTest::mouseClick(spin, Qt::LeftButton, {}, where);
        EXPECT_EQ(edit->text(), shown);
    }
    edit->setText("40");
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "41");
}

struct ElsewhereCase {
    const char* name;
    int32_t writeAddress;
    uint8_t value;
    int32_t readAddress;
    std::function<bool(frmConfig&)> shown;
    const char* registerName;
};

class WrittenElsewhere : public ConfigDialog, public ::testing::WithParamInterface<ElsewhereCase> {};

// The register map or a recall writes one of the dialog's registers while it is open:
// after the writer's own requests the dialog reads it and shows it, and says so.
TEST_P(WrittenElsewhere, IsReadAfterTheWriterAndShownWithANote) {
    const ElsewhereCase& c = GetParam();
    open();
    size_t writersReads = 0;
    {
        const ChipChanges::Action elsewhere; // another window's action
        USBStuff::WriteRegister(kChip, c.writeAddress, c.value);
        writersReads = adapter->reads().size();
        QCoreApplication::processEvents(); // a message box of the writer, say
        EXPECT_TRUE(control<QLabel>("lblChipChanged")->text().isEmpty())
            << "not before the writer has finished";
    }
    const std::vector<int32_t> reads = adapter->reads();
    EXPECT_EQ(std::vector<int32_t>(reads.begin() + static_cast<std::ptrdiff_t>(writersReads), reads.end()),
              std::vector<int32_t>{c.readAddress});
    EXPECT_TRUE(c.shown(*dialog));
    EXPECT_TRUE(control<QLabel>("lblChipChanged")->text().contains(c.registerName));
}

INSTANTIATE_TEST_SUITE_P(
    Registers, WrittenElsewhere,
    ::testing::Values(
        ElsewhereCase{"Config1", 0x09, 0x04, 0x03,
                      [](frmConfig& d) { return d.findChild<QCheckBox*>("chkExtRange")->isChecked(); },
                      "Configuration Reg 1"},
        ElsewhereCase{"ConversionRate", 0x0A, 0x84, 0x04,
                      [](frmConfig& d) {
                          return d.findChild<QComboBox*>("cmbConvRate")->currentText() == "1 (1 sec)" &&
                                 d.findChild<QCheckBox*>("chkAveraging")->isChecked();
                      },
                      "Conversion Rate"},
        ElsewhereCase{"Config2", 0x24, 0x80, 0x24,
                      [](frmConfig& d) { return d.findChild<QCheckBox*>("chkLock")->isChecked(); },
                      "Configuration Reg 2"},
        ElsewhereCase{"Hysteresis", 0x21, 20, 0x21,
                      [](frmConfig& d) { return d.findChild<QLineEdit*>("txtTHERMHyst")->text() == "20"; },
                      "Therm Hysteresis"}),
    [](const auto& row) { return std::string(row.param.name); });

// The user's case: the range bit set in the register map while the dialog is open
// is neither hidden nor undone by Apply; what the user ticked stays ticked.
TEST_F(ConfigDialog, ApplyKeepsABitSetElsewhereAndTheUsersOwnChange) {
    open();
    tick("chkMaskAll");
    USBStuff::WriteRegister(kChip, 0x09, 0x04);
    adapter->clearLog();
    // The dialog has followed the write before the user can press Apply.
    click("cmdApply");
    EXPECT_TRUE(control<QCheckBox>("chkExtRange")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("chkMaskAll")->isChecked());
    EXPECT_EQ(writtenTo(0x09), 0x84);
    QCoreApplication::processEvents();
    EXPECT_TRUE(control<QLabel>("lblChipChanged")->text().isEmpty()) << "its own writes are no news";
}

TEST_F(ConfigDialog, AUserChangedHysteresisIsNotOverwritten) {
    open();
    typeHysteresis("15");
    USBStuff::WriteRegister(kChip, 0x21, 20);
    QCoreApplication::processEvents();
    EXPECT_EQ(control<QLineEdit>("txtTHERMHyst")->text(), "15");
    EXPECT_FALSE(control<QLabel>("lblChipChanged")->text().isEmpty());
}

TEST_F(ConfigDialog, ShowingRemote2InRemote1RegsLeavesTheLimitsWindowTwoGauges) {
    frmLimits limits;
    limits.Form_Load();
    open();
    tick("chkR2onR1");
    click("cmdApply");
    EXPECT_EQ(writtenTo(0x09), 0x08);
    EXPECT_TRUE(GeneralStuff::Remote2Selected);
    EXPECT_EQ(limits.findChild<QLabel*>("lblRem1_2")->text(), "Remote2");
    EXPECT_TRUE(limits.findChild<TempGauge*>("ggeTemp_2")->isHidden());
}

} // namespace
