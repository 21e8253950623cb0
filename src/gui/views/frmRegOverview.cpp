#include "views/frmRegOverview.h"

#include "chip/ChipRegisters.h"
#include "device/ChipAccess.h"
#include "device/Clock.h"
#include "device/WindowClasses.h"
#include "files/SettingsCompare.h"
#include "files/SettingsFileLoad.h"
#include "ui/AppMessages.h"
#include "ui/FileDialog.h"
#include "ui/Twips.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QStringList kColumns{"Read",      "Write", "Register",        "Hex",  "Dec", "Default", "≠ Default",
                           "Read-only", "°C",    "Range, encoding", "State"};
const QStringList kFileColumns{"File", "Recall changes"};
const int kStateColumn = static_cast<int>(kColumns.indexOf("State"));
// The columns that name a register and its value stay in view however small the window is made: the rest
// scroll.
const int kAlwaysShownColumns = static_cast<int>(kColumns.indexOf("Hex")) + 1;
constexpr int kAlwaysShownRows = 5;

QString addressText(int32_t address) {
    return "0x" + QString::number(address, 16).toUpper();
}
} // namespace

frmRegOverview::frmRegOverview(QWidget* parent) : QWidget(parent) {
    setObjectName(WindowClass::kRegOverview);
    setWindowTitle("Register Overview");
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    auto* cmdReadAll = new QPushButton("Read All", this);
    cmdReadAll->setObjectName("cmdReadAll");
    auto* cmdCompare = new QPushButton("Compare with File...", this);
    cmdCompare->setObjectName("cmdCompare");
    auto* cmdExport = new QPushButton("Export...", this);
    cmdExport->setObjectName("cmdExport");
    lblLastRead = new QLabel(this);
    lblLastRead->setObjectName("lblLastRead");
    buttons->addWidget(cmdReadAll);
    buttons->addWidget(cmdCompare);
    buttons->addWidget(cmdExport);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    layout->addWidget(lblLastRead);
    auto* lblStatusNote = new QLabel(
        "Reading a status register clears its latched bits on the chip: Status Reg 1 and 2 are read only "
        "by \"Read All\".",
        this);
    lblStatusNote->setObjectName("lblStatusNote");
    lblStatusNote->setWordWrap(true);
    layout->addWidget(lblStatusNote);
    grdRegisters = new QTableWidget(this);
    grdRegisters->setObjectName("grdRegisters");
    grdRegisters->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdRegisters->verticalHeader()->hide();
    layout->addWidget(grdRegisters);

    connect(cmdReadAll, &QPushButton::clicked, this, [this] { cmdReadAll_Click(); });
    connect(cmdCompare, &QPushButton::clicked, this, [this] { cmdCompare_Click(); });
    connect(cmdExport, &QPushButton::clicked, this, [this] { cmdExport_Click(); });
    changes = ChipChanges::Subscription([this](const ChipChanges::Writes& writes) { chipWritten(writes); });
}

void frmRegOverview::Form_Load() {
    SetOuterSize(this, 12000, 6600);
    readSnapshot(false);
}

void frmRegOverview::cmdReadAll_Click() {
    readSnapshot(true);
}

void frmRegOverview::readSnapshot(bool includeStatus) {
    const RegisterSnapshot fresh =
        TakeRegisterSnapshot(includeStatus, [](int32_t address) { return ReadChip(address); });
    for (int i = 0; i < RegMapStuff::kRegisterCount; ++i)
        if (fresh.values[i] || includeStatus)
            snapshot.values[i] = fresh.values[i];
    // Status values kept from an earlier Read All stay marked stale: they are not re-read.
    std::vector<bool> keptStatus(RegMapStuff::kRegisterCount, false);
    for (int i = 1; i < RegMapStuff::kRegisterCount; ++i)
        keptStatus[i] = !includeStatus && IsStatusRecord(i) && snapshot.values[i];
    stale = keptStatus;
    lblLastRead->setText("Last read: " + Clock::LocalNow().toString("HH:mm:ss") +
                         (includeStatus ? " (all registers)" : " (all but the status registers)"));
    showRows();
}

void frmRegOverview::chipWritten(const ChipChanges::Writes& writes) {
    if (stale.empty())
        return;
    for (const ChipChanges::RegisterWritten& change : writes.list) {
        // A Configuration Reg 1 write moves the range and the shared addresses: every value may be old.
        const bool everything = change.rangeAndSelectionRead || !change.value;
        for (int i = 1; i < RegMapStuff::kRegisterCount; ++i)
            if (everything || RegMapStuff::RegisterTable[i].WriteAddr == change.writeAddress)
                stale[i] = true;
    }
    for (int r = 0; r < static_cast<int>(shownRows.size()); ++r)
        grdRegisters->item(r, kStateColumn)->setText(staleMark(shownRows[r]));
    grdRegisters->resizeColumnToContents(kStateColumn);
}

QString frmRegOverview::staleMark(const OverviewRow& row) const {
    return row.value && stale[row.index] ? "stale" : "";
}

void frmRegOverview::CompareWith(const QByteArray& settingsBytes) {
    const RecallPlan plan = ReadRecallPlan(settingsBytes);
    const std::vector<int> records = MatchEntriesToRecords(plan.entries);
    fileValues.clear();
    for (size_t i = 0; i < records.size(); ++i)
        if (records[i] != RegMapStuff::kNotFound)
            fileValues[records[i]] = plan.entries[i].value;
    compared = true;
    showRows();
}

void frmRegOverview::cmdCompare_Click() {
    const QString path =
        ChooseFile(this, QFileDialog::AcceptOpen, QFileDialog::ExistingFile, kSettingsFileFilter);
    if (path.isEmpty())
        return;
    QString refusal;
    const auto bytes = LoadSettingsFile(path, refusal);
    if (!bytes) {
        ShowWarningOver(this, refusal);
        return;
    }
    if (ReadRecallPlan(*bytes).outcome == RecallOutcome::NoListStart) {
        ShowWarningOver(this, QString("The file\n%1\nholds no register list (no \"{\" line).")
                                  .arg(QDir::toNativeSeparators(path)));
        return;
    }
    CompareWith(*bytes);
}

OverviewTable frmRegOverview::ShownTable() const {
    OverviewTable table;
    for (int c = 0; c < grdRegisters->columnCount(); ++c)
        table.columns << grdRegisters->horizontalHeaderItem(c)->text();
    for (int r = 0; r < grdRegisters->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < grdRegisters->columnCount(); ++c)
            row << grdRegisters->item(r, c)->text();
        table.rows.push_back(row);
    }
    return table;
}

void frmRegOverview::cmdExport_Click() {
    const QString path = ChooseFile(this, QFileDialog::AcceptSave, QFileDialog::AnyFile,
                                    "CSV Files (*.csv);;JSON Files (*.json)");
    if (path.isEmpty())
        return;
    const OverviewTable table = ShownTable();
    const QByteArray bytes =
        path.endsWith(".json", Qt::CaseInsensitive) ? OverviewJson(table) : OverviewCsv(table);
    // A temporary file renamed into place: an earlier export is never left half written.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        ShowWarningOver(this, QString("The overview could not be exported to\n%1\n(%2).")
                                  .arg(QDir::toNativeSeparators(path), reason));
    }
}

void frmRegOverview::showRows() {
    QStringList columns = kColumns;
    if (compared)
        columns += kFileColumns;
    shownRows = OverviewRows(snapshot);
    const std::vector<OverviewRow>& rows = shownRows;
    grdRegisters->clear();
    grdRegisters->setColumnCount(columns.size());
    grdRegisters->setHorizontalHeaderLabels(columns);
    grdRegisters->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const OverviewRow& row = rows[r];
        const bool known = row.value.has_value();
        QStringList texts{addressText(row.readAddr),
                          row.writeAddr == 0 ? QString() : addressText(row.writeAddr),
                          row.name,
                          known ? OverviewHex(*row.value) : row.valueNote,
                          known ? QString::number(*row.value) : QString(),
                          OverviewHex(row.defaultValue),
                          row.differsFromDefault ? "*" : "",
                          row.readOnly ? "yes" : "",
                          row.temperature,
                          row.encoding,
                          staleMark(row)};
        if (compared) {
            const auto file = fileValues.find(row.index);
            texts << (file == fileValues.end() ? "" : OverviewHex(static_cast<uint8_t>(file->second)));
            texts << (file == fileValues.end()     ? ""
                      : !known                     ? "?"
                      : file->second != *row.value ? "yes"
                                                   : "no");
        }
        for (int c = 0; c < texts.size(); ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            if (c == 3 || c == 4)
                item->setToolTip(row.bitMeanings);
            grdRegisters->setItem(r, c, item);
        }
    }
    grdRegisters->resizeColumnsToContents();
    int width = 2 * grdRegisters->frameWidth() + grdRegisters->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < kAlwaysShownColumns; ++c)
        width += grdRegisters->columnWidth(c);
    const int height = 2 * grdRegisters->frameWidth() +
                       grdRegisters->horizontalHeader()->sizeHint().height() +
                       grdRegisters->horizontalScrollBar()->sizeHint().height() +
                       kAlwaysShownRows * grdRegisters->verticalHeader()->defaultSectionSize();
    grdRegisters->setMinimumSize(width, height);
}
