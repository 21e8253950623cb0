#pragma once
// When a new sample needs the chart redrawn. The chart takes a sample 20 times a
// second, but at a minute's span the time axis moves less than a pixel in that
// time: a redraw then shows nothing new unless the newest sample lands on
// another row. Pure function: no widget inside.
#include <QPointF>
#include <optional>

// Both points are a trace's newest sample in the plot's pixels, on the axes as
// they stand now: as it was when the chart was last drawn (none: the trace was
// empty) and as it is. True when the time axis or the trace's end has moved by a
// whole pixel or more since that drawing, or the end lands on another row. A trace
// whose drawn and new ends both lie right of plotRight (a paused view) shows no
// change.
bool NewestSampleMovesAPixel(const std::optional<QPointF>& drawn, const QPointF& newest, double plotRight);
