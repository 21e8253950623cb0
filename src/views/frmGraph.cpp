#include "views/frmGraph.h"

#include "device/GeneralStuff.h"
#include "ui/Twips.h"
#include "views/StripChart.h"

#include <QCloseEvent>
#include <QResizeEvent>

frmGraph::frmGraph(QWidget* parent) : QWidget(parent), stpGraph(new StripChart(this)) {
    setObjectName("frmGraph");
    setWindowTitle("Graphing");
    stpGraph->setObjectName("stpGraph");
    stpGraph->move(0, 0);
}

frmGraph::~frmGraph() {
    if (GeneralStuff::Views.graph == this)
        GeneralStuff::Views.graph = nullptr;
}

void frmGraph::Form_Load() {
    SetOuterSize(this, 9360, 7740);
    GeneralStuff::GraphOpen = true;
    GeneralStuff::Views.graph = this;
}

// The chart takes the window's outer size; the strip under the frame is kept
// clear of the plot so the time labels and the newest samples stay in view.
void frmGraph::Form_Resize() {
    const QWidget* outer = OuterWindow(this);
    stpGraph->resize(outer->size());
    stpGraph->setCoveredMargins(outer->width() - width(), outer->height() - height());
}

void frmGraph::Form_Unload() {
    GeneralStuff::GraphOpen = false;
    if (GeneralStuff::Views.graph == this)
        GeneralStuff::Views.graph = nullptr;
}

void frmGraph::appendSample(int trace, double value) {
    stpGraph->appendSample(trace, value);
}

void frmGraph::setTraceCaption(int trace, const QString& text) {
    stpGraph->setTraceCaption(trace, text);
}

void frmGraph::setTraceVisible(int trace, bool visible) {
    stpGraph->setTraceVisible(trace, visible);
}

void frmGraph::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmGraph::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}
