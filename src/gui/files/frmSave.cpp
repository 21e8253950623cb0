#include "files/frmSave.h"

#include "device/ChipAccess.h"
#include "device/ChipChanges.h"
#include "device/Clock.h"
#include "device/USBStuff.h"
#include "device/WindowClasses.h"
#include "files/MasterTimerPause.h"
#include "files/RecallPreview.h"
#include "files/SettingsFile.h"
#include "files/SettingsFileLoad.h"
#include "files/SettingsReader.h"
#include "ui/AppMessages.h"
#include "ui/FileDialog.h"
#include "ui/Twips.h"
#include "ui/WrapCheckBox.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>

frmSave::frmSave(QWidget* parent) : QWidget(parent) {
    setObjectName(WindowClass::kSave);
    setWindowTitle("Save/Recall Settings");

    auto* frame = new QGroupBox("File I/O", this);
    frame->setObjectName("Frame1");
    frame->setGeometry(PxRect(240, 240, 6495, 2655));

    auto* cmdsave = new QPushButton("Save  Current Configuration", frame);
    cmdsave->setObjectName("cmdsave");
    cmdsave->setGeometry(PxRect(480, 600, 2655, 495));
    connect(cmdsave, &QPushButton::clicked, this, [this] { cmdsave_Click(); });

    // Three lines high and to the frame's edge: the caption wraps in today's larger type.
    chkNotDefaults_ = new WrapCheckBox("Only save registers that differ from their defaults ", frame);
    chkNotDefaults_->setObjectName("chkNotDefaults");
    chkNotDefaults_->setGeometry(PxRect(3720, 480, 2655, 735));

    // Sized to its text, which the designed 990 twips would cut off in today's type,
    // and lifted 60 twips so the taller label clears the comment box below it.
    auto* commentLabel = new QLabel("Add Comment", frame);
    commentLabel->setObjectName("Label1");
    commentLabel->move(Px(3600), Px(1320) - Px(60));
    commentLabel->adjustSize();
    txtComment_ = new QLineEdit(frame);
    txtComment_->setObjectName("txtComment");
    txtComment_->setGeometry(PxRect(3600, 1560, 2535, 495));

    auto* cmdRecall = new QPushButton("Recall Previous Configuration", frame);
    cmdRecall->setObjectName("cmdRecall");
    cmdRecall->setGeometry(PxRect(480, 1560, 2655, 495));
    connect(cmdRecall, &QPushButton::clicked, this, [this] { cmdRecall_Click(); });

    chkPreview_ = new QCheckBox("Preview changes before recall", this);
    chkPreview_->setObjectName("chkPreview");
    chkPreview_->setGeometry(PxRect(240, 3120, 4800, 375));

    auto* cmdClose = new QPushButton("Close", this);
    cmdClose->setObjectName("cmdClose");
    cmdClose->setGeometry(PxRect(5280, 3120, 1335, 375));
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
}

void frmSave::Form_Load() {
    SetOuterSize(this, 7080, 4200);
}

void frmSave::cmdClose_Click() {
    OuterWindow(this)->close();
}

// The chip is read before the dialog opens, so the file holds the values of the
// moment the button was pressed; no tick runs in between.
void frmSave::cmdsave_Click() {
    const QStringList header = SettingsHeaderLines(txtComment_->text(), Clock::LocalNow());
    MasterTimerPause pause;
    pause.pause();
    const QList<SettingsEntry> entries =
        SettingsEntries(chkNotDefaults_->isChecked(), [](int32_t readAddr) { return ReadChip(readAddr); });
    const QByteArray bytes = SettingsFileBytes(header, entries);

    const QString path = chooseFile(QFileDialog::AcceptSave);
    if (path.isEmpty())
        return;
    // Only a plain file is replaced: a folder, pipe or device keeps what it is.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        ShowWarningOver(
            this, QString("The settings could not be saved to\n%1\n(not a plain file).\nNothing there was "
                          "changed.")
                      .arg(QDir::toNativeSeparators(path)));
        return;
    }
    // Written beside the old file and swapped in only when complete. Unbuffered, so a
    // short write (disk full) shows in write()'s count: a buffered flush lets it pass.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size() ||
        !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        ShowWarningOver(
            this, QString("The settings could not be saved to\n%1\n(%2).\nAn earlier file of that name is "
                          "unchanged.")
                      .arg(QDir::toNativeSeparators(path), reason));
    }
}

void frmSave::cmdRecall_Click() {
    const QString path = chooseFile(QFileDialog::AcceptOpen);
    if (path.isEmpty())
        return;
    QString refusal;
    const std::optional<QByteArray> bytes = LoadSettingsFile(path, refusal);
    if (!bytes) {
        ShowWarningOver(this, refusal);
        return;
    }

    // Reading the chip for the preview writes nothing; a file without a list goes on to its refusal below.
    if (chkPreview_->isChecked()) {
        const RecallPlan plan = ReadRecallPlan(*bytes);
        if (plan.outcome != RecallOutcome::NoListStart &&
            !ConfirmRecall(this,
                           RecallChanges(plan.entries, [](int32_t readAddr) { return ReadChip(readAddr); })))
            return;
    }

    MasterTimerPause pause;
    // The open views read what the recall wrote once, after the last entry (and any message).
    const ChipChanges::Action action;
    RecallSettings(*bytes, {[&pause] { pause.pause(); },
                            [](int32_t address, int32_t value) { WriteChip(address, value); }});
}

QString frmSave::chooseFile(QFileDialog::AcceptMode mode) {
    // A recall takes only a file that is there; a save may name a new one.
    return ChooseFile(this, mode,
                      mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile,
                      kSettingsFileFilter);
}
