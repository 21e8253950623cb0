#pragma once
// The temperature graph window: one strip chart of the three temperatures,
// fed by the monitoring cycle while the window is open.
#include "device/ViewRegistry.h"

#include <QWidget>

class StripChart;

class frmGraph : public QWidget, public GraphView {
    Q_OBJECT
public:
    explicit frmGraph(QWidget* parent = nullptr);
    ~frmGraph() override;

    void Form_Load();
    void Form_Resize();
    void Form_Unload();

    void appendSample(int trace, double value) override;
    void setTraceCaption(int trace, const QString& text) override;
    void setTraceVisible(int trace, bool visible) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    StripChart* stpGraph;
};
