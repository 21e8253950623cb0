#pragma once
// The strip chart's plot area on screen: the grid and the traces kept as one
// picture on whole pixels. When the view has only moved on (a sample came, the
// time axis advanced), the picture scrolls by whole pixels and only the columns
// that changed are drawn again: the strip on the right and the column of each
// trace's newest drawn sample. Anything else (size, span, range, ticks, a trace
// shown or hidden, history cleared) draws it whole. What lies over the plot area
// (limit lines, cursors, legend, marks) the plot draws over it every time.
//
// The axes' own grids stay hidden: it draws the grid. Exports, and screens with more
// than one device pixel to a pixel, get it as lines where the plot would draw them,
// and the traces draw themselves (DrawsOnScreen() is false for them).
#include "views/StripChartRules.h"

#include <qcustomplot.h>

#include <QImage>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class ChartPlot;

class PlotArea : public QCPLayerable {
    Q_OBJECT
public:
    static constexpr int kTraceCount = 3;

    // Made before the traces, so it is drawn under them and under every item on their layer.
    explicit PlotArea(ChartPlot* plot);
    void setTraces(const std::array<QCPGraph*, kTraceCount>& traces) { m_traces = traces; }

    // The span the time axis shows; with the plot area's width it gives the width of a pixel in seconds.
    void setTimeSpan(double seconds) { m_timeSpan = seconds; }
    // The next drawing draws the whole picture.
    void redrawAll() { m_drawn.reset(); }
    // How many drawings drew the whole picture; the others scrolled it.
    int wholeDrawings() const { return m_wholeDrawings; }
    // Whether the plot area is drawn from this picture on that painter (the traces then draw nothing).
    static bool DrawsOnScreen(const QCPPainter* painter, const QCustomPlot* plot);

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

private:
    // What a picture was drawn for; any difference but the view moving on and new samples draws it whole.
    struct Frame {
        QSize size;
        double secondsPerPixel = 0;
        int64_t rightColumn = 0; // the first column right of the picture
        double timeTickStep = 0;
        QCPRange range;
        std::vector<double> valueTicks;
        QRgb gridColour = 0;
        QRgb zeroColour = 0;
        std::array<std::optional<QRgb>, kTraceCount> traceColours{}; // none: hidden
        // Key of the first and the newest sample of each trace; none while empty.
        std::array<std::optional<std::pair<double, double>>, kTraceCount> keys{};
    };

    void drawGridLines(QCPPainter* painter) const;
    Frame currentFrame() const;
    // The first column to draw again, or none when the whole picture must be drawn.
    std::optional<int> firstChangedColumn(const Frame& now) const;
    void drawColumns(const Frame& now, int fromX);
    void drawTrace(const QCPGraphDataContainer& samples, const Frame& now, QRgb colour, int fromX);

    ChartPlot* m_plot;
    std::array<QCPGraph*, kTraceCount> m_traces{};
    double m_timeSpan = kStoredTimeSpan;
    QImage m_picture;
    std::optional<Frame> m_drawn;
    int m_wholeDrawings = 0;
};
