#pragma once
// The register overview: every register of the table at once, decoded, against its
// default and, after "Compare with File...", against a settings file.
#include "device/ChipChanges.h"
#include "views/OverviewExport.h"
#include "views/RegisterOverview.h"

#include <QWidget>
#include <map>

class QLabel;
class QTableWidget;

class frmRegOverview : public QWidget {
    Q_OBJECT
public:
    explicit frmRegOverview(QWidget* parent = nullptr);

    // Reads every register but the status registers: opening never clears latched bits.
    void Form_Load();
    void cmdReadAll_Click();
    void cmdCompare_Click();
    void cmdExport_Click();

    // The file values by record index, as a compare shows them (tests and the bench).
    void CompareWith(const QByteArray& settingsBytes);
    OverviewTable ShownTable() const;

private:
    void readSnapshot(bool includeStatus);
    void chipWritten(const ChipChanges::Writes& writes);
    void showRows();
    QString staleMark(const OverviewRow& row) const;

    QTableWidget* grdRegisters = nullptr;
    QLabel* lblLastRead = nullptr;
    RegisterSnapshot snapshot;
    std::vector<OverviewRow> shownRows; // the table's rows, in order
    std::vector<bool> stale;
    std::map<int, int32_t> fileValues; // record index -> value a recall would write
    bool compared = false;
    ChipChanges::Subscription changes;
};
