#pragma once
// The strip chart's plot area as whole pixels: every sample, grid line and dot
// lands on a pixel that depends only on its own key and value, never on where the
// view starts, so a picture shifted by whole pixels equals one drawn afresh.
// Pure functions on an image: no widget inside.
#include <QImage>
#include <QPoint>
#include <QRgb>
#include <cstdint>

// The column of a time key: seconds over the width of one pixel, rounded. The same
// key always lands in the same column; the view chooses which columns it shows.
int64_t KeyColumn(double key, double secondsPerPixel);

// Sets the pixels of the line from a to b with x >= fromX that lie in the image:
// for each step along the longer direction, the pixel nearest the exact line. The
// same line gives the same pixels whatever part of it is drawn.
void DrawPixelLine(QImage& image, QPoint a, QPoint b, QRgb colour, int fromX);

// A dotted line across the image at row y from column fromX on: a dot where the
// column's absolute number (column + firstColumn) is even, so the dots scroll with it.
void DrawDottedRow(QImage& image, int y, int64_t firstColumn, QRgb colour, int fromX);
// A dotted line down the image at column x: a dot on every even row.
void DrawDottedColumn(QImage& image, int x, QRgb colour);

// Moves the picture left by the given columns; what comes in on the right is left as it was.
void ScrollLeft(QImage& image, int columns);
