#include "views/ChartFiles.h"

#include "ui/AppMessages.h"
#include "ui/FileDialog.h"
#include "views/ChartReadoutRules.h"
#include "views/GraphExportRules.h"

#include <qcustomplot.h>

#include <QFileInfo>
#include <QSaveFile>

namespace ChartFiles {

namespace {

const QString kChannelNames[3] = {"Local", "Remote1", "Remote2"};
// Samples of one graph update land within a few milliseconds of each other; half the
// shortest graphing interval keeps neighbouring updates apart.
constexpr double kSameUpdateSeconds = 0.005;

struct Choice {
    QString path;
    QString filter;
};

Choice AskForFile(QWidget* over, const QStringList& filters) {
    Choice choice;
    choice.path =
        ChooseFile(over, QFileDialog::AcceptSave, QFileDialog::AnyFile, filters.join(";;"), &choice.filter);
    return choice;
}

QString WithSuffix(const QString& path, const QString& suffix) {
    return QFileInfo(path).suffix().isEmpty() ? path + "." + suffix : path;
}

std::optional<double> SampleNear(const QCPGraph* trace, double key) {
    const QCPGraphDataContainer& samples = *trace->data();
    const auto it = samples.findBegin(key - kSameUpdateSeconds, false);
    if (it == samples.constEnd() || it->key > key + kSameUpdateSeconds)
        return std::nullopt;
    return it->value;
}

} // namespace

QByteArray CsvOf(QCustomPlot* plot, const std::array<QCPGraph*, 3>& traces, bool wholeHistory) {
    QStringList channels;
    std::vector<const QCPGraph*> shown;
    for (int index = 0; index < 3; ++index) {
        if (traces[index]->visible()) {
            channels << ChannelOfCaption(traces[index]->name(), kChannelNames[index]);
            shown.push_back(traces[index]);
        }
    }
    std::vector<GraphExportRow> rows;
    if (!shown.empty()) {
        const QCPGraphDataContainer& times = *shown.front()->data();
        const QCPRange range = plot->xAxis->range();
        auto begin = wholeHistory ? times.constBegin() : times.findBegin(range.lower, false);
        auto end = wholeHistory ? times.constEnd() : times.findEnd(range.upper, false);
        for (auto it = begin; it != end; ++it) {
            GraphExportRow row{QCPAxisTickerDateTime::keyToDateTime(it->key).toLocalTime(), {it->value}};
            for (size_t column = 1; column < shown.size(); ++column)
                row.values.push_back(SampleNear(shown[column], it->key));
            rows.push_back(std::move(row));
        }
    }
    return GraphCsv(channels, rows);
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    ShowCriticalMessage("The file " + QFileInfo(path).fileName() + " could not be written.",
                        file.errorString());
    return false;
}

void SavePicture(QWidget* over, QCustomPlot* plot) {
    const Choice choice = AskForFile(over, {kPngFilter, kPdfFilter});
    if (choice.path.isEmpty())
        return;
    const bool pdf = choice.filter == kPdfFilter;
    const QString path = WithSuffix(choice.path, pdf ? "pdf" : "png");
    // Drawn to a temporary file first, so a failed picture never replaces an existing one.
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        const QString drawn = path + ".part";
        written = pdf ? plot->savePdf(drawn) : plot->savePng(drawn);
        QFile part(drawn);
        written =
            written && part.open(QIODevice::ReadOnly) && file.write(part.readAll()) >= 0 && file.commit();
        part.remove();
    }
    if (!written)
        ShowCriticalMessage("The picture " + QFileInfo(path).fileName() + " could not be written.",
                            file.errorString());
}

void ExportData(QWidget* over, QCustomPlot* plot, const std::array<QCPGraph*, 3>& traces) {
    const Choice choice = AskForFile(over, {kVisibleCsvFilter, kHistoryCsvFilter});
    if (!choice.path.isEmpty())
        WriteFile(WithSuffix(choice.path, "csv"), CsvOf(plot, traces, choice.filter == kHistoryCsvFilter));
}

} // namespace ChartFiles
