// The options window driven as a user does: what Apply stores, what it refuses.
#include "support/FilesTestSupport.h"

#include "app/OptionsApply.h"
#include "app/frmSWOptions.h"
#include "device/GeneralStuff.h"

#include <QCheckBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {
class OptionsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        GeneralStuff::ContinuousReading = true;
        GeneralStuff::ReadInterval = 100;
        GeneralStuff::GraphInterval = 50;
        GeneralStuff::LogInterval = 100;
        window = std::make_unique<frmSWOptions>();
        window->Form_Load();
        window->show();
    }
    void TearDown() override { StopAnswering(); }

    QLineEdit* text(const char* name) { return window->findChild<QLineEdit*>(name); }
    void type(const char* name, const QString& typed) {
        text(name)->clear();
        QTest::keyClicks(text(name), typed);
    }
    void apply() { QTest::mouseClick(window->findChild<QPushButton*>("cmdApply"), Qt::LeftButton); }

    std::unique_ptr<frmSWOptions> window;
};

TEST_F(OptionsWindow, LoadShowsTheSharedValues) {
    EXPECT_TRUE(window->findChild<QCheckBox*>("chkMonitoring")->isChecked());
    EXPECT_EQ(text("txtReadInt")->text(), "100");
    EXPECT_EQ(text("txtGraphing")->text(), "50");
    EXPECT_EQ(text("txtLogging")->text(), "100");
}

TEST_F(OptionsWindow, ApplyStoresTypedValues) {
    const struct {
        const char* read;
        const char* graph;
        const char* log;
        int32_t readInterval;
        int16_t graphInterval;
        int32_t logInterval;
    } rows[] = {
        {"250", "10", "500", 250, 10, 500},
        {"0", "0", "10", 0, 0, 10},               // every tick; logging at its shortest
        {"-20", "-5", "9.5", -20, -5, 10},        // stored as typed, no range check; 9.5 rounds to 10
        {"250 ms", "abc", "20 ms", 250, 0, 20},   // leading number, or 0
        {"12.5", "13.5", "32767", 12, 14, 32767}, // halves to even; the 16-bit top still fits
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.read);
        type("txtReadInt", row.read);
        type("txtGraphing", row.graph);
        type("txtLogging", row.log);
        apply();
        EXPECT_EQ(GeneralStuff::ReadInterval, row.readInterval);
        EXPECT_EQ(GeneralStuff::GraphInterval, row.graphInterval);
        EXPECT_EQ(GeneralStuff::LogInterval, row.logInterval);
    }
}

TEST_F(OptionsWindow, UntickingStopsContinuousReading) {
    QTest::mouseClick(window->findChild<QCheckBox*>("chkMonitoring"), Qt::LeftButton);
    EXPECT_TRUE(GeneralStuff::ContinuousReading); // not before Apply
    apply();
    EXPECT_FALSE(GeneralStuff::ContinuousReading);
}

// Apply stores in the order reading, logging, graphing and stops at a value that
// does not fit: the ones before it are stored, it and the later ones keep theirs.
TEST_F(OptionsWindow, ValueTooLargeIsRefusedAndEarlierOnesApplied) {
    const struct {
        const char* read;
        const char* log;
        const char* graph;
        int32_t readInterval;
        int32_t logInterval;
        int16_t graphInterval;
        const char* named;
    } rows[] = {
        {"200", "300", "32768", 200, 300, 50, "graphing interval"},
        {"200", "2147483648", "20", 200, 100, 50, "logging interval"},
        {"-2147483649", "300", "20", 100, 100, 50, "reading interval"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.named);
        GeneralStuff::ReadInterval = 100;
        GeneralStuff::LogInterval = 100;
        GeneralStuff::GraphInterval = 50;
        type("txtReadInt", row.read);
        type("txtLogging", row.log);
        type("txtGraphing", row.graph);
        RecordedMessages messages;
        apply();
        ASSERT_EQ(messages.warnings.size(), 1);
        EXPECT_TRUE(messages.warnings[0].contains(row.named)) << messages.warnings[0].toStdString();
        EXPECT_EQ(GeneralStuff::ReadInterval, row.readInterval);
        EXPECT_EQ(GeneralStuff::LogInterval, row.logInterval);
        EXPECT_EQ(GeneralStuff::GraphInterval, row.graphInterval);
    }
}

// Below 10 ms a log line would be asked for on every tick, and a negative one gives a
// negative time column: that field alone is refused; the others are stored in their order.
TEST_F(OptionsWindow, LoggingIntervalBelowTenIsRefusedAloneAndTheOthersApplied) {
    const struct {
        const char* log;
        const char* graph;
        int16_t graphInterval;
        int messages; // refusals named in the one message box
    } rows[] = {
        {"9", "40", 40, 1},   {"9.4", "40", 40, 1}, {"0", "40", 40, 1},    {"-100", "40", 40, 1},
        {"abc", "40", 40, 1}, {"", "40", 40, 1},    {"5", "32768", 50, 2}, // both refusals are told, each
                                                                           // field keeps its own value
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.log);
        GeneralStuff::ContinuousReading = true;
        GeneralStuff::ReadInterval = 100;
        GeneralStuff::GraphInterval = 50;
        QTest::mouseClick(window->findChild<QCheckBox*>("chkMonitoring"), Qt::LeftButton);
        type("txtReadInt", "300");
        type("txtLogging", row.log);
        type("txtGraphing", row.graph);
        MessageSeen message;
        AnswerMessageBox(&message);
        apply();
        EXPECT_EQ(message.count, 1);
        EXPECT_TRUE(message.text.contains("logging interval \"" + QString(row.log) + "\" is too short"))
            << message.text.toStdString();
        EXPECT_EQ(message.text.count("keeps its previous value"), row.messages);
        EXPECT_EQ(message.icon, QMessageBox::Warning);
        EXPECT_FALSE(GeneralStuff::ContinuousReading);
        EXPECT_EQ(GeneralStuff::ReadInterval, 300);
        EXPECT_EQ(GeneralStuff::LogInterval, 100);
        EXPECT_EQ(GeneralStuff::GraphInterval, row.graphInterval);
        QTest::mouseClick(window->findChild<QCheckBox*>("chkMonitoring"), Qt::LeftButton);
    }
}

TEST_F(OptionsWindow, ReopeningShowsAppliedNotTypedValues) {
    type("txtReadInt", "300");
    apply();
    type("txtReadInt", "999"); // typed, never applied
    QTest::mouseClick(window->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());

    frmSWOptions reopened;
    reopened.Form_Load();
    EXPECT_EQ(reopened.findChild<QLineEdit*>("txtReadInt")->text(), "300");
}

TEST_F(OptionsWindow, SpinControlsStepByTenWithinTheirRanges) {
    const struct {
        const char* upDown;
        const char* box;
        const char* start;
        const char* button;
        const char* result;
    } rows[] = {
        {"UpDown1", "txtReadInt", "100", "up", "110"},
        {"UpDown2", "txtGraphing", "10", "down", "10"}, // minimum 10
        {"UpDown3", "txtLogging", "60", "down", "50"},  // minimum 50
        {"UpDown3", "txtLogging", "10000", "up", "10000"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.upDown) + " " + row.button);
        type(row.box, row.start);
        QWidget* spin = window->findChild<QWidget*>(row.upDown);
        const bool up = QString(row.button) == "up";
        QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, up ? 2 : spin->height() - 2));
        EXPECT_EQ(text(row.box)->text(), row.result);
    }
}
} // namespace
