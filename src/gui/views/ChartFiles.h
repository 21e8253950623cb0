#pragma once
// The graph's "Save Picture..." and "Export Data..." files: the chart as PNG or
// PDF, its samples as CSV. A file that cannot be written is reported and nothing
// half-written is left behind.
#include <QString>
#include <array>

class QCPGraph;
class QCustomPlot;
class QWidget;

namespace ChartFiles {

inline const QString kPngFilter = "PNG picture (*.png)";
inline const QString kPdfFilter = "PDF document (*.pdf)";
inline const QString kVisibleCsvFilter = "CSV of the visible range (*.csv)";
inline const QString kHistoryCsvFilter = "CSV of the whole history (*.csv)";

// Asks for a file with the non-native dialog "CommonDialog1" and writes it.
void SavePicture(QWidget* over, QCustomPlot* plot);
void ExportData(QWidget* over, QCustomPlot* plot, const std::array<QCPGraph*, 3>& traces);

// The visible channels' samples, of the visible range or the whole history, as CSV bytes.
QByteArray CsvOf(QCustomPlot* plot, const std::array<QCPGraph*, 3>& traces, bool wholeHistory);
// Writes through a temporary file renamed into place; false (and a message shown) on failure.
bool WriteFile(const QString& path, const QByteArray& bytes);

} // namespace ChartFiles
