#include "device/ChipChanges.h"
#include "device/GeneralStuff.h"
#include "device/NumberText.h"
#include "device/USBStuff.h"
#include "support/ScriptedAdapter.h"
#include "views/StatusLamp.h"
#include "views/TempGauge.h"
#include "views/frmLimits.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

constexpr int32_t kChip = 0x4C;

class LimitsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        adapter = InstallScriptedAdapter();
        ThrowOnLinkError();
        GeneralStuff::DeviceAddress = kChip;
        // Writes land where the chip reads them back.
        adapter->readAddressOf = TableReadAddressOf;
        setChip({{0x03, 0x00},
                 {0x06, 10},
                 {0x05, 80},
                 {0x20, 85},
                 {0x08, 50},
                 {0x14, 0x80},
                 {0x07, 80},
                 {0x13, 0x40},
                 {0x19, 85},
                 {0x32, 5},
                 {0x37, 0x00},
                 {0x31, 70},
                 {0x36, 0xC0},
                 {0x39, 90}});
    }

    void setChip(const std::map<int32_t, uint8_t>& registers) {
        for (const auto& [reg, value] : registers)
            adapter->setRegister(kChip, reg, value);
    }

    void open() {
        window = std::make_unique<frmLimits>();
        window->Form_Load();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        adapter->clearLog();
    }

    TempGauge* gauge(int index) const {
        return window->findChild<TempGauge*>(QString("ggeTemp_%1").arg(index));
    }
    QLabel* label(const char* name) const { return window->findChild<QLabel*>(name); }

    void drag(TempGauge* g, TempGauge::Slider slider, int dy) {
        const QPoint from = g->sliderCentre(slider);
        QTest::mousePress(g, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(g, from + QPoint(0, dy * step / 4));
        QTest::mouseRelease(g, Qt::LeftButton, {}, from + QPoint(0, dy));
    }

    ScriptedAdapter* adapter = nullptr;
    std::unique_ptr<frmLimits> window;
};

TEST_F(LimitsWindow, LoadPlacesEverySliderFromTheChip) {
    open();
    EXPECT_EQ(gauge(0)->lowLimit(), 10);
    EXPECT_EQ(gauge(0)->highLimit(), 80);
    EXPECT_EQ(gauge(0)->thermLimit(), 85);
    EXPECT_EQ(gauge(1)->lowLimit(), 50.5);
    EXPECT_EQ(gauge(1)->highLimit(), 80.25);
    EXPECT_EQ(gauge(2)->highLimit(), 70.75);
    EXPECT_EQ(gauge(2)->thermLimit(), 90);
    for (int g = 0; g < 3; ++g)
        EXPECT_EQ(gauge(g)->scaleMinimum(), 0);
    EXPECT_TRUE(GeneralStuff::LimitsOpen);
    EXPECT_EQ(OpenWindows::program().limits, window.get());
}

TEST_F(LimitsWindow, ExtendedRangeMovesScaleAndOffsetsLimits) {
    GeneralStuff::ExtendedRange = true;
    setChip({{0x20, 0x55}, {0x05, 0xFF}});
    open();
    EXPECT_EQ(gauge(0)->scaleMinimum(), -64);
    EXPECT_EQ(gauge(0)->thermLimit(), 21); // 0x55 - 64
    EXPECT_EQ(gauge(0)->highLimit(), 191);
}

TEST_F(LimitsWindow, NormalRangeTakesLimitBytesUnsigned) {
    setChip({{0x05, 0xFF}, {0x20, 0x55}});
    open();
    EXPECT_EQ(gauge(0)->highLimit(), 255);
    EXPECT_EQ(gauge(0)->thermLimit(), 85);
}

TEST_F(LimitsWindow, MovingOnlyThermRewritesEveryLimitOfTheGaugeThenReadsAllBack) {
    open();
    TempGauge* g = gauge(1);
    QSignalSpy changes(g, &TempGauge::sliderChange);
    drag(g, TempGauge::ThermSlider, -20);

    ASSERT_EQ(changes.count(), 1); // one notification for the whole drag
    EXPECT_EQ(changes.at(0).at(0).toInt(), 1);
    const double therm = g->thermLimit();
    EXPECT_GT(therm, 85);
    const std::vector<RegisterWrite> writes{
        {0x0E, 50}, {0x14, 0x80}, {0x0D, 80}, {0x13, 0x40}, {0x19, static_cast<int32_t>(therm)}};
    EXPECT_EQ(adapter->writes(), writes);
    const std::vector<int32_t> reads{0x06, 0x05, 0x20, 0x08, 0x14, 0x07, 0x13,
                                     0x19, 0x32, 0x37, 0x31, 0x36, 0x39};
    EXPECT_EQ(adapter->reads(), reads);
}

TEST_F(LimitsWindow, DraggedSliderStopsAtTheScaleEnds) {
    open();
    drag(gauge(0), TempGauge::HighSlider, -400);
    EXPECT_EQ(gauge(0)->highLimit(), 127);
    EXPECT_EQ(adapter->reg(kChip, 0x05), 127);
    drag(gauge(0), TempGauge::LowSlider, 400);
    EXPECT_EQ(gauge(0)->lowLimit(), 0);
}

TEST_F(LimitsWindow, DraggingShowsTheSliderValueAsItMoves) {
    open();
    TempGauge* g = gauge(0);
    const QPoint from = g->sliderCentre(TempGauge::ThermSlider);
    QTest::mousePress(g, Qt::LeftButton, {}, from);
    QTest::mouseMove(g, from + QPoint(0, -400));
    EXPECT_EQ(QToolTip::text(), "THERM 127°C");
    QTest::mouseRelease(g, Qt::LeftButton, {}, from + QPoint(0, -400));
    EXPECT_FALSE(QToolTip::isVisible());
}

TEST_F(LimitsWindow, AClickWithoutMovingWritesNothing) {
    setChip({{0x07, 0xFF}}); // 255 °C is drawn pinned at the top of the scale
    open();
    const QPoint at = gauge(1)->sliderCentre(TempGauge::HighSlider);
    QTest::mouseClick(gauge(1), Qt::LeftButton, {}, at);
    EXPECT_TRUE(adapter->writes().empty());
    EXPECT_EQ(gauge(1)->selectedSlider(), TempGauge::HighSlider);
}

TEST_F(LimitsWindow, LimitBeyondTheScaleIsWrittenBackUnchangedWhenAnotherSliderMoves) {
    // A chip limit of 255 °C lies above the 127 °C scale; moving the low slider must not rewrite it.
    setChip({{0x05, 0xFF}});
    open();
    drag(gauge(0), TempGauge::LowSlider, -10);
    EXPECT_EQ(adapter->reg(kChip, 0x05), 0xFF);
    EXPECT_GT(adapter->reg(kChip, 0x06), 10);
}

TEST_F(LimitsWindow, KeyboardMovesTheSelectedSliderByQuarterDegrees) {
    // Remote1 low from 50.5 to 50.75: 50 to 0x0E and 0xC0 to 0x14, and it reads back as 50.75.
    open();
    TempGauge* g = gauge(1);
    QSignalSpy changes(g, &TempGauge::sliderChange);
    QTest::keyClick(g, Qt::Key_Up);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(adapter->reg(kChip, 0x08), 50);
    EXPECT_EQ(adapter->reg(kChip, 0x14), 0xC0);
    EXPECT_EQ(g->lowLimit(), 50.75);
}

TEST_F(LimitsWindow, HeldKeyWritesOnceOnRelease) {
    // Local high 80 → 82 in two repeats, written once when the key is let go.
    open();
    TempGauge* g = gauge(0);
    QTest::mouseClick(g, Qt::LeftButton, {}, g->sliderCentre(TempGauge::HighSlider));
    QSignalSpy changes(g, &TempGauge::sliderChange);
    QTest::keyPress(g, Qt::Key_Up);
    QTest::keyPress(g, Qt::Key_Up);
    EXPECT_EQ(g->highLimit(), 82);
    EXPECT_TRUE(adapter->writes().empty());
    QTest::keyRelease(g, Qt::Key_Up);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(adapter->reg(kChip, 0x05), 82);
    EXPECT_EQ(g->highLimit(), 82);
}

// Each slider steps by what its register keeps: local limits and every THERM limit are
// whole degrees, the remote high and low limits quarter degrees.
TEST_F(LimitsWindow, SlidersStepByTheResolutionTheChipKeeps) {
    const struct {
        int gauge;
        TempGauge::Slider slider;
        double step;
    } rows[] = {
        {0, TempGauge::LowSlider, 1},    {0, TempGauge::HighSlider, 1},    {0, TempGauge::ThermSlider, 1},
        {1, TempGauge::LowSlider, 0.25}, {1, TempGauge::HighSlider, 0.25}, {1, TempGauge::ThermSlider, 1},
        {2, TempGauge::LowSlider, 0.25}, {2, TempGauge::HighSlider, 0.25}, {2, TempGauge::ThermSlider, 1},
    };
    open();
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "gauge " << row.gauge << " slider " << row.slider);
        TempGauge* g = gauge(row.gauge);
        QTest::mouseClick(g, Qt::LeftButton, {}, g->sliderCentre(row.slider));
        const double before = g->limit(row.slider);
        QTest::keyClick(g, Qt::Key_Up);
        EXPECT_EQ(g->limit(row.slider), before + row.step) << "read back from the chip";
    }
}

TEST_F(LimitsWindow, DraggedLocalLimitShowsTheWholeDegreeTheChipStores) {
    open();
    TempGauge* g = gauge(0);
    const QPoint from = g->sliderCentre(TempGauge::HighSlider);
    QTest::mousePress(g, Qt::LeftButton, {}, from);
    for (int dy = 1; dy <= 7; ++dy) {
        QTest::mouseMove(g, from + QPoint(0, -dy));
        const QString shown = QToolTip::text();
        ASSERT_TRUE(shown.startsWith("High ") && shown.endsWith("°C")) << shown.toStdString();
        const QString value = shown.mid(5).chopped(2);
        EXPECT_FALSE(value.contains('.')) << shown.toStdString();
    }
    QTest::mouseRelease(g, Qt::LeftButton, {}, from + QPoint(0, -7));
    EXPECT_EQ(QString::number(adapter->reg(kChip, 0x05)), TrimmedNumber(g->highLimit()));
    EXPECT_GT(g->highLimit(), 80);
}

TEST_F(LimitsWindow, StepsFromALimitBeyondTheScaleOnlyGoInwards) {
    setChip({{0x05, 0xFF}});
    open();
    TempGauge* g = gauge(0);
    QTest::mouseClick(g, Qt::LeftButton, {}, g->sliderCentre(TempGauge::HighSlider));
    QTest::keyClick(g, Qt::Key_Up);
    EXPECT_TRUE(adapter->writes().empty());
    EXPECT_EQ(g->highLimit(), 255);
    QTest::keyClick(g, Qt::Key_Down);
    EXPECT_EQ(adapter->reg(kChip, 0x05), 126); // one whole degree inside the 127 °C scale
}

TEST_F(LimitsWindow, TabWalksTheSlidersOfAFocusedGauge) {
    open();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    TempGauge* g = gauge(2);
    g->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(g->selectedSlider(), TempGauge::LowSlider);
    QTest::keyClick(g, Qt::Key_Tab);
    EXPECT_EQ(g->selectedSlider(), TempGauge::HighSlider);
    QTest::keyClick(g, Qt::Key_Tab);
    EXPECT_EQ(g->selectedSlider(), TempGauge::ThermSlider);
    for (int press = 0; press < 4; ++press)
        QTest::keyPress(g, Qt::Key_Down);
    QTest::keyRelease(g, Qt::Key_Down);
    EXPECT_EQ(adapter->reg(kChip, 0x39), 86); // THERM limits step in whole degrees
    EXPECT_EQ(adapter->reg(kChip, 0x31), 70); // the high limit stays
    QTest::keyClick(g, Qt::Key_Backtab);
    EXPECT_EQ(g->selectedSlider(), TempGauge::HighSlider);
}

TEST_F(LimitsWindow, ExtendedRangeWritesOffsetBytesAndReadsThemBack) {
    GeneralStuff::ExtendedRange = true;
    open();
    gauge(0)->setLowLimit(-10);
    window->ggeTemp_SliderChange(0);
    EXPECT_EQ(adapter->reg(kChip, 0x06), 54);
    gauge(2)->setHighLimit(-10.25);
    window->ggeTemp_SliderChange(2);
    EXPECT_EQ(adapter->reg(kChip, 0x31), 53);
    EXPECT_EQ(adapter->reg(kChip, 0x36), 0xC0);
    EXPECT_EQ(gauge(2)->highLimit(), -10.25);
}

TEST_F(LimitsWindow, SubQuarterRemoteValueLosesItsFractionOnReadBack) {
    open();
    gauge(1)->setLowLimit(50.9);
    window->ggeTemp_SliderChange(1);
    EXPECT_EQ(adapter->reg(kChip, 0x08), 50);
    EXPECT_EQ(adapter->reg(kChip, 0x14), 0x00);
    EXPECT_EQ(gauge(1)->lowLimit(), 50.0);
}

TEST_F(LimitsWindow, EachLampSitsOnItsStatusRowAndShowsRedWhenOn) {
    open();
    const std::map<int, QString> rowOfLamp{{0, "Local High"},   {1, "Local  Low"},  {8, "Local THERM"},
                                           {2, "Remote1 High"}, {3, "Remote1 Low"}, {9, "Remote1 THERM"},
                                           {4, "Remote2 High"}, {5, "Remote2 Low"}, {10, "Remote2 THERM"},
                                           {6, "D1  Open"},     {7, "D2 Open"},     {11, "ALERT Bit"}};
    for (const auto& [index, text] : rowOfLamp) {
        SCOPED_TRACE(index);
        auto* lamp = window->findChild<StatusLamp*>(QString("tglAlert_%1").arg(index));
        auto* rowLabel = window->findChild<QLabel*>(QString("lblAlert_%1").arg(index));
        ASSERT_NE(lamp, nullptr);
        ASSERT_NE(rowLabel, nullptr);
        EXPECT_EQ(rowLabel->text(), text);
        EXPECT_EQ(rowLabel->geometry().center().y(), lamp->geometry().center().y());
        EXPECT_EQ(lamp->toolTip(), "Interrupt Status: Green=OK, Red=Bad, Invisible=Disabled");

        window->setLamp(index, true);
        const QColor shown = lamp->grab().toImage().pixelColor(lamp->width() / 2, lamp->height() / 2);
        EXPECT_GT(shown.red(), 200);
        EXPECT_LT(shown.green(), 60);
        window->setLamp(index, false);
        const QColor off = lamp->grab().toImage().pixelColor(lamp->width() / 2, lamp->height() / 2);
        EXPECT_LT(off.red(), 60);
        EXPECT_GT(off.green(), 150);
    }
}

TEST_F(LimitsWindow, EveryStatusLabelStandsClearOfTheFrameEdgeAndItsLamp) {
    open();
    for (int index = 0; index < 12; ++index) {
        SCOPED_TRACE(index);
        auto* lamp = window->findChild<StatusLamp*>(QString("tglAlert_%1").arg(index));
        auto* rowLabel = window->findChild<QLabel*>(QString("lblAlert_%1").arg(index));
        const int textWidth = rowLabel->fontMetrics().horizontalAdvance(rowLabel->text());
        // Right-justified: the text starts where its width, counted from the label's right end, reaches.
        const int textLeft = rowLabel->x() + rowLabel->width() - textWidth;
        EXPECT_GE(textLeft, 3) << "text runs into the frame's left edge";
        EXPECT_LT(rowLabel->geometry().right(), lamp->x());
        EXPECT_EQ(rowLabel->font(), window->findChild<QLabel*>("lblAlert_0")->font()) << "rows in one size";
    }
}

TEST_F(LimitsWindow, LampRowsRunTopToBottomInStatusOrder) {
    open();
    const std::vector<int> rowOrder{0, 1, 8, 2, 3, 9, 4, 5, 10, 6, 7, 11};
    int previousTop = -1;
    for (const int index : rowOrder) {
        auto* lamp = window->findChild<StatusLamp*>(QString("tglAlert_%1").arg(index));
        EXPECT_GT(lamp->y(), previousTop) << index;
        previousTop = lamp->y();
    }
}

TEST_F(LimitsWindow, GaugeReadingShowsTemperatureAndCaption) {
    open();
    window->setGaugeReading(1, 33.75f, " 33.75°C");
    EXPECT_EQ(gauge(1)->temperature(), 33.75);
    EXPECT_EQ(gauge(1)->caption(), " 33.75°C");
    EXPECT_EQ(gauge(1)->toolTip(), "Drag the sliders to change the limits");
}

TEST_F(LimitsWindow, Remote2SelectionShowsTwoGaugesAndBackThree) {
    open();
    EXPECT_EQ(label("lblLocal")->text(), "Local");
    EXPECT_EQ(label("lblRem1_2")->text(), "Remote1");
    EXPECT_EQ(label("Label5")->text(), "Remote2");
    window->showRemote2Selected(true);
    EXPECT_EQ(label("lblRem1_2")->text(), "Remote2");
    EXPECT_TRUE(gauge(2)->isHidden());
    EXPECT_TRUE(label("Label5")->isHidden());
    window->showRemote2Selected(false);
    EXPECT_EQ(label("lblRem1_2")->text(), "Remote1");
    EXPECT_FALSE(gauge(2)->isHidden());
    EXPECT_FALSE(label("Label5")->isHidden());
}

TEST_F(LimitsWindow, ConfigReg1WriteReloadsTheOpenWindow) {
    open();
    USBStuff::WriteRegister(kChip, 0x09, 0x08);
    EXPECT_EQ(label("lblRem1_2")->text(), "Remote2");
    EXPECT_TRUE(gauge(2)->isHidden());
    EXPECT_TRUE(label("Label5")->isHidden());

    // Clearing bit 3 and setting the range bit: three gauges again, on the extended scale.
    USBStuff::WriteRegister(kChip, 0x09, 0x04);
    EXPECT_EQ(label("lblRem1_2")->text(), "Remote1");
    EXPECT_FALSE(gauge(2)->isHidden());
    EXPECT_FALSE(label("Label5")->isHidden());
    EXPECT_EQ(gauge(1)->scaleMinimum(), -64);
    EXPECT_EQ(gauge(0)->lowLimit(), 10 - 64);
}

struct WrittenElsewhereCase {
    const char* name;
    bool remote2Selected;
    int32_t writeAddress;
    std::vector<int32_t> reads;
};

class LimitWrittenElsewhere : public LimitsWindow,
                              public ::testing::WithParamInterface<WrittenElsewhereCase> {};

// The register map or a settings recall writes one limit: the window re-reads that
// channel's limits, and only after the writer's own request.
TEST_P(LimitWrittenElsewhere, IsReadBackForItsChannelAfterTheWriter) {
    const WrittenElsewhereCase& c = GetParam();
    if (c.remote2Selected) {
        setChip({{0x03, 0x08}});
        GeneralStuff::Remote2Selected = true;
    }
    open();
    {
        const ChipChanges::Action elsewhere; // another window's action
        USBStuff::WriteRegister(kChip, c.writeAddress, 30);
        QCoreApplication::processEvents(); // a message box of the writer, say
        EXPECT_TRUE(adapter->reads().empty()) << "the writer's action is not interrupted";
    }
    EXPECT_EQ(adapter->reads(), c.reads);
    QCoreApplication::processEvents();
    EXPECT_EQ(adapter->reads(), c.reads) << "read once per write";
}

INSTANTIATE_TEST_SUITE_P(
    Writes, LimitWrittenElsewhere,
    ::testing::Values(WrittenElsewhereCase{"LocalHigh", false, 0x0B, {0x06, 0x05, 0x20}},
                      WrittenElsewhereCase{"LocalTherm", false, 0x20, {0x06, 0x05, 0x20}},
                      WrittenElsewhereCase{
                          "Remote1HighFraction", false, 0x13, {0x08, 0x14, 0x07, 0x13, 0x19}},
                      WrittenElsewhereCase{"Remote2Therm", false, 0x39, {0x32, 0x37, 0x31, 0x36, 0x39}},
                      // The shared registers then reach Remote2: both gauges showing it follow.
                      WrittenElsewhereCase{"SharedLowUnderRemote2",
                                           true,
                                           0x0E,
                                           {0x08, 0x14, 0x07, 0x13, 0x19, 0x32, 0x37, 0x31, 0x36, 0x39}},
                      WrittenElsewhereCase{"ReadAddressChangesNothing", false, 0x05, {}},
                      WrittenElsewhereCase{"NotALimit", false, 0x22, {}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(LimitsWindow, HighMarkerFollowsALocalHighWrittenElsewhere) {
    open();
    USBStuff::WriteRegister(kChip, 0x0B, 30);
    QCoreApplication::processEvents();
    EXPECT_EQ(gauge(0)->highLimit(), 30);
}

TEST_F(LimitsWindow, OwnSliderWritesAreReadBackOnceNotAgain) {
    open();
    drag(gauge(1), TempGauge::ThermSlider, -20);
    QCoreApplication::processEvents();
    EXPECT_EQ(adapter->reads().size(), 13u);
}

TEST_F(LimitsWindow, FreshWindowUnderRemote2SelectedShowsTwoGauges) {
    GeneralStuff::Remote2Selected = true;
    open();
    EXPECT_EQ(label("lblRem1_2")->text(), "Remote2");
    EXPECT_TRUE(gauge(2)->isHidden());
}

TEST_F(LimitsWindow, ClosingClearsTheOpenFlagAndTheViewSlot) {
    open();
    window->close();
    EXPECT_FALSE(GeneralStuff::LimitsOpen);
    EXPECT_EQ(OpenWindows::program().limits, nullptr);
    // With the window closed a Configuration Reg 1 write only reads the register back.
    adapter->clearLog();
    USBStuff::WriteRegister(kChip, 0x09, 0x08);
    EXPECT_EQ(adapter->reads(), std::vector<int32_t>{0x03});
}

TEST_F(LimitsWindow, InAChildWindowItSizesItsFrameAndUnloadsOnClose) {
    QMdiArea area;
    area.resize(800, 600);
    auto* view = new frmLimits;
    QMdiSubWindow* sub = area.addSubWindow(view);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    view->Form_Load();
    sub->show();
    area.show();
    EXPECT_EQ(sub->size(), QSize(505, 386)); // 7575 × 5790 twips
    EXPECT_EQ(view->windowTitle(), "Limits and Interrupts");
    QPointer<frmLimits> watched(view);
    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
    EXPECT_FALSE(GeneralStuff::LimitsOpen);
    EXPECT_EQ(OpenWindows::program().limits, nullptr);
}

TEST_F(LimitsWindow, DestroyingAnOpenWindowLeavesNoDanglingView) {
    open();
    window.reset();
    EXPECT_FALSE(GeneralStuff::LimitsOpen);
    EXPECT_EQ(OpenWindows::program().limits, nullptr);
}

} // namespace
