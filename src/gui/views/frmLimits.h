#pragma once
// The limits and interrupts window: three gauges whose sliders set the chip's
// high, low and THERM limits, and twelve lamps of its interrupt status bits.
#include "device/ChipChanges.h"
#include "device/Reading.h"
#include "views/OpenWindows.h"

#include <QWidget>
#include <array>

class QGroupBox;
class QLabel;
class StatusLamp;
class TempGauge;

class frmLimits : public QWidget {
    Q_OBJECT
public:
    explicit frmLimits(QWidget* parent = nullptr);

    void Form_Load();
    void Form_Unload();
    void ReadGaugeLimits(int gauge);
    void ggeTemp_SliderChange(int gauge);

    // Middle title "Remote2" and the third gauge hidden, or "Remote1" and three gauges.
    void showRemote2Selected(bool selected);
    void setLamp(int index, bool on);
    // Status Reg 1 or 2 as the monitoring cycle just read it: that register's lamps, in their order.
    void showStatusRegister(int32_t statusRegister, uint8_t status);
    void showReading(const Reading& reading);
    void setGaugeReading(int index, float temperature, const QString& caption);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildStatusFrame();
    void buildLimitsFrame();
    void reloadForRange(const ChipChanges::RegisterWritten& change);
    void readWrittenGauges(const ChipChanges::Writes& writes);

    QGroupBox* fraStatus = nullptr;
    QGroupBox* fraLimits = nullptr;
    std::array<StatusLamp*, 12> tglAlert{};
    std::array<TempGauge*, 3> ggeTemp{};
    QLabel* lblLocal = nullptr;
    QLabel* lblRem1_2 = nullptr;
    QLabel* Label5 = nullptr;
    ViewRegistration<frmLimits> registration{this};
    ChipChanges::Subscription configurationWritten;
    ChipChanges::Subscription limitsWritten;
};
