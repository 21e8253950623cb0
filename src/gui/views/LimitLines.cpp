#include "views/LimitLines.h"

#include "device/ChipAccess.h"
#include "device/USBStuff.h"
#include "views/ChartItems.h"

#include <qcustomplot.h>

namespace {

// A write at any of the gauges' limit write addresses, or to Configuration Reg 1 (the range).
bool ChangesLimits(const ChipChanges::Writes& writes) {
    if (writes.rangeAndSelectionRead())
        return true;
    for (int gauge = 0; gauge < kGaugeCount; ++gauge) {
        const LimitRegisters& regs = GaugeLimitRegisters(gauge);
        for (const int32_t address :
             {regs.lowWrite, regs.lowFraction, regs.highWrite, regs.highFraction, regs.therm})
            if (address != 0 && writes.wrote(address))
                return true;
    }
    return false;
}

} // namespace

LimitLines::LimitLines(QCustomPlot* plot, const std::array<QCPGraph*, kTraceCount>& traces)
    : QObject(plot), m_plot(plot), m_traces(traces) {
    for (int trace = 0; trace < kTraceCount; ++trace) {
        const QColor colour = traces[trace]->pen().color();
        for (int kind = 0; kind < 3; ++kind) {
            auto* line = new DashedStraightLine(plot);
            // THERM dotted, the alarm limits dashed, so the kinds stay apart in one colour.
            line->setPen(QPen(colour, 1, kind == 2 ? Qt::DotLine : Qt::DashLine));
            line->setVisible(false);
            m_lines[trace][kind] = line;
        }
    }
    connect(plot, &QCustomPlot::beforeReplot, this, &LimitLines::placeLines);
}

void LimitLines::setShown(bool shown) {
    m_shown = shown;
    if (shown) {
        // Before the start-up has read Configuration Reg 1 the range is not known: its
        // notification brings the first read.
        if (USBStuff::ProgramChip().ConfigurationRead)
            readLimits();
        m_chipChanges = ChipChanges::Subscription([this](const ChipChanges::Writes& writes) {
            if (ChangesLimits(writes))
                readLimits();
        });
    } else {
        m_chipChanges = {};
    }
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void LimitLines::readLimits() {
    for (int trace = 0; trace < kTraceCount; ++trace)
        m_limits[trace] = ReadGaugeLimitBytes(trace, USBStuff::ProgramChip().ExtendedRange,
                                              [](int32_t reg) { return int32_t(ReadChip(reg)); });
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

// Lines follow their trace's visibility, which the channel selection can change at any time.
void LimitLines::placeLines() {
    for (int trace = 0; trace < kTraceCount; ++trace) {
        const double values[3] = {m_limits[trace].low, m_limits[trace].high, m_limits[trace].therm};
        for (int kind = 0; kind < 3; ++kind) {
            QCPItemStraightLine* line = m_lines[trace][kind];
            line->setVisible(m_shown && m_traces[trace]->visible());
            line->point1->setCoords(0, values[kind]);
            line->point2->setCoords(1, values[kind]);
        }
    }
}
