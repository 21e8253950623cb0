#include "views/frmGraph.h"

#include "device/SettingsStore.h"
#include "device/USBStuff.h"
#include "device/WindowClasses.h"
#include "ui/Twips.h"
#include "views/ChartReadout.h"
#include "views/GraphSettings.h"
#include "views/ReadingCaptions.h"
#include "views/StripChart.h"

#include <QCloseEvent>
#include <QResizeEvent>

namespace {
constexpr double kMinimumWidthTwips = 5400;
constexpr double kMinimumHeightTwips = 3600;
} // namespace

frmGraph::frmGraph(QWidget* parent)
    : QWidget(parent), stpGraph(new StripChart(this)),
      chipChanges(ChipChanges::Order::GraphTraces, [this](const auto& change) { chipChanged(change); }) {
    setObjectName(WindowClass::kGraph);
    setWindowTitle("Graphing");
    stpGraph->setObjectName("stpGraph");
    stpGraph->move(0, 0);
}

void frmGraph::Form_Load() {
    SetOuterSize(this, 9360, 7740);
    // An unusable store has been reported by the main window at start: the graph then shows its defaults.
    if (const std::unique_ptr<QSettings> settings = OpenMainSettings())
        stpGraph->applyViewSettings(ReadGraphSettings(*settings));
    registration.attach();
}

// The chart takes the window's outer size; the strip under the frame is kept
// clear of the plot so the time labels and the newest samples stay in view.
void frmGraph::Form_Resize() {
    const QWidget* outer = OuterWindow(this);
    stpGraph->resize(outer->size());
    stpGraph->setCoveredMargins(outer->width() - width(), outer->height() - height());
}

void frmGraph::Form_Unload() {
    registration.detach();
    if (const std::unique_ptr<QSettings> settings = OpenMainSettings())
        WriteGraphSettings(*settings, stpGraph->viewSettings());
}

void frmGraph::chipChanged(const ChipChanges::RegisterWritten& change) {
    if (registration.attached() && change.rangeAndSelectionRead)
        showRemote2Selected(USBStuff::ProgramChip().Remote2Selected);
}

void frmGraph::showRemote2Selected(bool selected) {
    if (selected) {
        setTraceCaption(2, "Remote2");
        setTraceCaption(3, "");
        setTraceVisible(3, false);
    } else {
        setTraceCaption(2, "Remote1");
        setTraceCaption(3, "Remote2");
        setTraceVisible(3, true);
    }
}

void frmGraph::showReading(const Reading& reading, double longestSampleGap) {
    stpGraph->readout()->setLongestSampleGap(longestSampleGap);
    for (int i = 0; i < 3; ++i)
        appendSample(i + 1, static_cast<double>(reading.temperatures[i]));
    for (const TraceCaption& caption :
         TraceCaptions(reading.temperatures, USBStuff::ProgramChip().Remote2Selected))
        setTraceCaption(caption.trace, caption.text);
}

void frmGraph::appendSample(int trace, double value) {
    stpGraph->appendSample(trace, value);
}

void frmGraph::setTraceCaption(int trace, const QString& text) {
    stpGraph->setTraceCaption(trace, text);
}

void frmGraph::statusRead(uint8_t status1, uint8_t status2) {
    stpGraph->statusRead(status1, status2);
}

void frmGraph::setTraceVisible(int trace, bool visible) {
    stpGraph->setTraceVisible(trace, visible);
}

QSize frmGraph::minimumSizeHint() const {
    return {Px(kMinimumWidthTwips), Px(kMinimumHeightTwips)};
}

void frmGraph::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmGraph::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}
