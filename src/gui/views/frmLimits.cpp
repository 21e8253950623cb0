#include "views/frmLimits.h"

#include "chip/StatusBits.h"
#include "device/ChipAccess.h"
#include "device/USBStuff.h"
#include "device/WindowClasses.h"
#include "ui/Twips.h"
#include "views/LimitEncoding.h"
#include "views/ReadingCaptions.h"
#include "views/StatusLamp.h"
#include "views/TempGauge.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <vector>

namespace {
constexpr double kFirstRowTop = 960;
constexpr double kRowPitch = 240;
constexpr double kLampLeft = 1560;
constexpr std::array<double, 3> kGaugeLefts{360, 1680, 3000};
constexpr double kGaugeWidth = 1080;
constexpr double kTitleWidth = 1095;

QLabel* makeTitle(QWidget* parent, const char* objectName, const QString& text, double left) {
    auto* title = new QLabel(text, parent);
    title->setObjectName(objectName);
    title->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    // A little wider than its gauge and centred over it.
    title->setGeometry(PxRect(left - (kTitleWidth - kGaugeWidth) / 2, 480, kTitleWidth, 240));
    return title;
}
// The rows were drawn for a narrower font than most systems have: where the widest
// caption would run into the frame's edge, every row is set a little smaller, alike.
void fitRowFont(const std::vector<QLabel*>& labels) {
    constexpr int kClearOfFrame = 3;
    QFont font = labels.front()->font();
    const auto fits = [&labels](const QFont& f) {
        const QFontMetrics metrics(f);
        for (const QLabel* label : labels)
            if (label->x() + label->width() - metrics.horizontalAdvance(label->text()) < kClearOfFrame)
                return false;
        return true;
    };
    while (!fits(font) && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    for (QLabel* label : labels)
        label->setFont(font);
}
} // namespace

frmLimits::frmLimits(QWidget* parent)
    : QWidget(parent),
      configurationWritten(ChipChanges::Order::LimitsReload,
                           [this](const ChipChanges::RegisterWritten& change) { reloadForRange(change); }),
      limitsWritten([this](const ChipChanges::Writes& writes) { readWrittenGauges(writes); }) {
    setObjectName(WindowClass::kLimits);
    setWindowTitle("Limits and Interrupts");
    buildStatusFrame();
    buildLimitsFrame();
}

void frmLimits::buildStatusFrame() {
    fraStatus = new QGroupBox("Status Bits", this);
    fraStatus->setObjectName("fraStatus");
    fraStatus->setGeometry(PxRect(240, 240, 2175, 4815));
    std::vector<QLabel*> labels;
    for (int row = 0; row < static_cast<int>(kStatusBits.size()); ++row) {
        const double top = kFirstRowTop + row * kRowPitch;
        const int index = kStatusBits[row].lamp;
        auto* label = new QLabel(kStatusBits[row].caption, fraStatus);
        label->setObjectName(QString("lblAlert_%1").arg(index));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // The label's centre line is the lamp's (lamp 180 high, label 240); it takes the
        // frame's whole width left of the lamp, as "Remote1 THERM" needs it.
        label->setGeometry(PxRect(15, top - 30, kLampLeft - 15 - 45, 240));
        tglAlert[index] = new StatusLamp(fraStatus);
        tglAlert[index]->setObjectName(QString("tglAlert_%1").arg(index));
        tglAlert[index]->setGeometry(PxRect(kLampLeft, top, 255, 180));
        labels.push_back(label);
    }
    fitRowFont(labels);
}

void frmLimits::buildLimitsFrame() {
    fraLimits = new QGroupBox("Set High/Low/THERM Limits", this);
    fraLimits->setObjectName("fraLimits");
    fraLimits->setGeometry(PxRect(2760, 240, 4455, 4815));
    lblLocal = makeTitle(fraLimits, "lblLocal", "Local", kGaugeLefts[0]);
    lblRem1_2 = makeTitle(fraLimits, "lblRem1_2", "Remote1", kGaugeLefts[1]);
    Label5 = makeTitle(fraLimits, "Label5", "Remote2", kGaugeLefts[2]);
    for (int g = 0; g < kGaugeCount; ++g) {
        ggeTemp[g] = new TempGauge(g, fraLimits);
        ggeTemp[g]->setObjectName(QString("ggeTemp_%1").arg(g));
        ggeTemp[g]->setGeometry(PxRect(kGaugeLefts[g], 720, kGaugeWidth, 3735));
        const GaugeLimitSteps steps = LimitStepsOfGauge(g);
        ggeTemp[g]->setSliderStep(TempGauge::LowSlider, steps.low);
        ggeTemp[g]->setSliderStep(TempGauge::HighSlider, steps.high);
        ggeTemp[g]->setSliderStep(TempGauge::ThermSlider, steps.therm);
        connect(ggeTemp[g], &TempGauge::sliderChange, this, &frmLimits::ggeTemp_SliderChange);
    }
}

void frmLimits::Form_Load() {
    SetOuterSize(this, 7575, 5790);
    const double lowerEnd = USBStuff::ProgramChip().ExtendedRange ? -64 : 0;
    for (TempGauge* gauge : ggeTemp)
        gauge->setScaleMinimum(lowerEnd);
    for (int g = 0; g < kGaugeCount; ++g)
        ReadGaugeLimits(g);
    // Both directions: a re-run after a Configuration Reg 1 write may also bring Remote1 back.
    showRemote2Selected(USBStuff::ProgramChip().Remote2Selected);
    registration.attach();
}

void frmLimits::Form_Unload() {
    registration.detach();
}

// The load re-reads every limit on the new scale and lays the gauges out for the channel selection.
void frmLimits::reloadForRange(const ChipChanges::RegisterWritten& change) {
    if (registration.attached() && change.rangeAndSelectionRead)
        Form_Load();
}

// Limits written elsewhere (register map, settings recall): the gauges showing them read again.
void frmLimits::readWrittenGauges(const ChipChanges::Writes& writes) {
    if (!registration.attached())
        return;
    std::array<bool, 3> written{};
    for (const ChipChanges::RegisterWritten& write : writes.list)
        for (const int g : GaugesShowingWrite(write.writeAddress, USBStuff::ProgramChip().Remote2Selected))
            written[g] = true;
    for (int g = 0; g < kGaugeCount; ++g)
        if (written[g])
            ReadGaugeLimits(g);
}

void frmLimits::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmLimits::ReadGaugeLimits(int gauge) {
    const GaugeLimits limits = ReadGaugeLimitBytes(gauge, USBStuff::ProgramChip().ExtendedRange,
                                                   [](int32_t reg) { return ReadChip(reg); });
    ggeTemp[gauge]->setLowLimit(limits.low);
    ggeTemp[gauge]->setHighLimit(limits.high);
    ggeTemp[gauge]->setThermLimit(limits.therm);
}

void frmLimits::ggeTemp_SliderChange(int gauge) {
    const TempGauge* g = ggeTemp[gauge];
    const GaugeLimits limits{g->lowLimit(), g->highLimit(), g->thermLimit()};
    // The window reads back every limit itself; the other views follow once it has.
    const ChipChanges::Action action(&limitsWritten);
    for (const LimitWrite& write : GaugeLimitWrites(gauge, limits, USBStuff::ProgramChip().ExtendedRange))
        WriteChip(write.reg, write.data);
    for (int i = 0; i < kGaugeCount; ++i)
        ReadGaugeLimits(i);
}

void frmLimits::showRemote2Selected(bool selected) {
    lblRem1_2->setText(selected ? "Remote2" : "Remote1");
    ggeTemp[2]->setVisible(!selected);
    Label5->setVisible(!selected);
}

void frmLimits::setLamp(int index, bool on) {
    if (index >= 0 && index < static_cast<int>(tglAlert.size()))
        tglAlert[index]->setOn(on);
}

void frmLimits::showStatusRegister(int32_t statusRegister, uint8_t status) {
    for (const LampSetting& lamp : LampsOfStatusRead(statusRegister, status))
        setLamp(lamp.lamp, lamp.on);
}

// All three gauges, even a hidden one.
void frmLimits::showReading(const Reading& reading) {
    for (int i = 0; i < kGaugeCount; ++i)
        setGaugeReading(i, reading.temperatures[i], GaugeCaption(reading.temperatures[i]));
}

void frmLimits::setGaugeReading(int index, float temperature, const QString& caption) {
    if (index < 0 || index >= kGaugeCount)
        return;
    ggeTemp[index]->setTemperature(temperature);
    ggeTemp[index]->setCaption(caption);
}
