#include "files/RecallPreview.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QString hex(int value) {
    return value < 0 ? "?" : "0x" + QString::number(value, 16).toUpper();
}
} // namespace

bool ConfirmRecall(QWidget* window, const std::vector<RecallChange>& changes) {
    QDialog dialog(window);
    dialog.setObjectName("dlgRecallPreview");
    dialog.setWindowTitle("Preview changes before recall");
    auto* layout = new QVBoxLayout(&dialog);
    auto* lblSummary =
        new QLabel(changes.empty() ? QString("Recalling this file changes no register.")
                                   : QString("Recalling this file changes %1 entries:").arg(changes.size()),
                   &dialog);
    lblSummary->setObjectName("lblSummary");
    layout->addWidget(lblSummary);
    auto* grdChanges = new QTableWidget(static_cast<int>(changes.size()), 4, &dialog);
    grdChanges->setObjectName("grdChanges");
    grdChanges->setHorizontalHeaderLabels({"Address", "Register", "Chip", "File"});
    grdChanges->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdChanges->verticalHeader()->hide();
    for (int r = 0; r < static_cast<int>(changes.size()); ++r) {
        const RecallChange& change = changes[r];
        const QStringList texts{hex(change.writeAddr), change.name.isEmpty() ? "(no register)" : change.name,
                                hex(change.chipValue), hex(change.fileValue)};
        for (int c = 0; c < texts.size(); ++c)
            grdChanges->setItem(r, c, new QTableWidgetItem(texts[c]));
    }
    grdChanges->resizeColumnsToContents();
    layout->addWidget(grdChanges);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &dialog);
    buttons->setObjectName("buttons");
    QPushButton* recall = buttons->addButton("Recall", QDialogButtonBox::AcceptRole);
    recall->setObjectName("cmdConfirmRecall");
    buttons->button(QDialogButtonBox::Cancel)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(640, 360);
    return dialog.exec() == QDialog::Accepted;
}
