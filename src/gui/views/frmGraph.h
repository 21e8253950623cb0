#pragma once
// The temperature graph window: one strip chart of the three temperatures,
// fed by the monitoring cycle while the window is open.
#include "device/ChipChanges.h"
#include "device/Reading.h"
#include "views/OpenWindows.h"

#include <QWidget>

class StripChart;

class frmGraph : public QWidget {
    Q_OBJECT
public:
    explicit frmGraph(QWidget* parent = nullptr);

    void Form_Load();
    void Form_Resize();
    void Form_Unload();

    // The reading's three samples, and the captions for it; each sample stands for at most
    // the gap (seconds) when a cursor reads it.
    void showReading(const Reading& reading, double longestSampleGap);
    void appendSample(int trace, double value);
    void setTraceCaption(int trace, const QString& text);
    void statusRead(uint8_t status1, uint8_t status2);
    void setTraceVisible(int trace, bool visible);
    // Room for both axes' labels, the legend and a plot still worth reading.
    QSize minimumSizeHint() const override;
    // Trace 2 "Remote2" and trace 3 hidden, or "Remote1" and "Remote2" both shown.
    void showRemote2Selected(bool selected);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void chipChanged(const ChipChanges::RegisterWritten& change);

    StripChart* stpGraph;
    ViewRegistration<frmGraph> registration{this};
    ChipChanges::Subscription chipChanges;
};
