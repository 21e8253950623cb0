#include "support/FilesTestSupport.h"
#include "support/GraphWindowFixture.h"
#include "views/GraphExportRules.h"
#include "views/StripChart.h"
#include "views/frmGraph.h"

#include <qcustomplot.h>

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(GraphExportRule, RowsCarryLocalMillisecondsAndEmptyCellsForMissingSamples) {
    const QDateTime t(QDate(2026, 12, 8), QTime(13, 7, 0, 50));
    const QByteArray csv =
        GraphCsv({"Local", "Remote2"}, {{t, {25.0, -3.25}}, {t.addMSecs(950), {25.5, std::nullopt}}});
    EXPECT_EQ(
        csv,
        "Time,Local,Remote2\r\n2026-12-08T13:07:00.050,25.00,-3.25\r\n2026-12-08T13:07:01.000,25.50,\r\n");
    // The heading of a degree sign would be two bytes in UTF-8.
    EXPECT_EQ(GraphCsv({"°C"}, {}), QByteArray("Time,\xC2\xB0"
                                               "C\r\n"));
}

class GraphExport : public GraphWindowFixture {
protected:
    GraphExport() { now = QDateTime(QDate(2026, 12, 8), QTime(13, 5, 59, 950)); }
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GraphWindowFixture::SetUp());
        // Ninety seconds: the first thirty out of view.
        for (int i = 0; i < 1800; ++i)
            feed(20 + i * 0.25, 30, 40);
        window.showRemote2Selected(true); // trace 3 hidden: two columns
    }

    QByteArray exportBy(const QString& filter, const QString& name) {
        const QString path = dir.filePath(name);
        // The name is typed as a user types it: selectFile() races the dialog's folder listing.
        FileDialogSeen seen;
        seen.onShown = [filter] { FindFileDialog()->selectNameFilter(filter); };
        AnswerFileDialog(path, &seen);
        QTest::keyClick(chart, Qt::Key_E);
        QFile file(path.endsWith(".csv") ? path : path + ".csv");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

// One dialog a test: each export is chosen by the dialog's file-type filter.
TEST_F(GraphExport, VisibleRangeWhenChosen) {
    const QList<QByteArray> visible = exportBy("CSV of the visible range (*.csv)", "visible.csv").split('\n');
    ASSERT_GT(visible.size(), 2);
    EXPECT_EQ(visible[0], "Time,Local,Remote2\r");
    // The view ends on the pixel's edge just after the newest sample: sample 599 at 13:06:29.950,
    // a minute before it, has just left the view.
    EXPECT_EQ(visible[1], "2026-12-08T13:06:30.000,170.00,30.00\r");
    EXPECT_EQ(visible.size() - 2, 1200);
    EXPECT_EQ(visible[visible.size() - 2], "2026-12-08T13:07:29.950,469.75,30.00\r");
    // Written through a temporary file: nothing else is left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"visible.csv"});
}

TEST_F(GraphExport, WholeHistoryWhenChosen) {
    const QList<QByteArray> whole = exportBy("CSV of the whole history (*.csv)", "whole").split('\n');
    EXPECT_EQ(whole.size() - 2, 1800);
    EXPECT_EQ(whole[1], "2026-12-08T13:06:00.000,20.00,30.00\r");
    // A name without suffix gets ".csv".
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"whole.csv"});
}

TEST_F(GraphExport, PictureIsAPngOfTheChart) {
    const QString path = dir.filePath("graph");
    AnswerFileDialog(path);
    chart->findChild<QAction*>("actionSavePicture")->trigger();
    QImage picture(path + ".png");
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), chart->plot()->size());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"graph.png"});
}

} // namespace
