#include "files/frmLogging.h"

#include "device/ApplicationTitle.h"
#include "device/GeneralStuff.h"
#include "device/NumberText.h"
#include "device/USBStuff.h"
#include "files/DialogFolder.h"
#include "files/LogGrid.h"
#include "files/LogLines.h"
#include "views/Twips.h"
#include "views/UpDownButtons.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {
const char* const kStartCaption = "Start Logging";
const char* const kStopCaption = "Click to stop logging...";

void setStatus(const QString& text) {
    if (GeneralStuff::Views.main)
        GeneralStuff::Views.main->setStatusText(text);
}
} // namespace

frmLogging::frmLogging(QWidget* parent) : QWidget(parent) {
    setObjectName("frmLogging");
    setWindowTitle("Data Logging");

    auto* frame = new QGroupBox("Select Channels to Log to File", this);
    frame->setObjectName("Frame1");
    frame->setGeometry(PxRect(120, 120, 3855, 2535));

    const char* const channels[3] = {"Local", "Remote1", "Remote2"};
    for (int i = 0; i < 3; ++i) {
        chkLog_[i] = new QCheckBox(channels[i], frame);
        chkLog_[i]->setObjectName(QString("chkLog_%1").arg(i));
        chkLog_[i]->setGeometry(PxRect(240, 360 + i * 400, 1455, 315));
    }

    auto* intervalLabel = new QLabel("Interval (ms)", frame);
    intervalLabel->setGeometry(PxRect(2040, 360, 1455, 255));
    txtLogInt_ = new QLineEdit(frame);
    txtLogInt_->setObjectName("txtLogInt");
    txtLogInt_->setGeometry(PxRect(2040, 660, 1095, 315));
    auto* upDown = new UpDownButtons("UpDown1", txtLogInt_, 1, 10, 10000, frame);
    upDown->setGeometry(PxRect(3135, 660, 255, 315));

    cmdLogData_ = new QPushButton(kStartCaption, frame);
    cmdLogData_->setObjectName("cmdLogData");
    cmdLogData_->setGeometry(PxRect(840, 1800, 2175, 495));
    connect(cmdLogData_, &QPushButton::clicked, this, [this] { cmdLogData_Click(); });

    auto* cmdClose = new QPushButton("Close", this);
    cmdClose->setObjectName("cmdClose");
    cmdClose->setGeometry(PxRect(2640, 2760, 1335, 375));
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
}

frmLogging::~frmLogging() {
    if (GeneralStuff::Views.logging == this)
        GeneralStuff::Views.logging = nullptr;
}

void frmLogging::closeEvent(QCloseEvent* event) {
    if (GeneralStuff::Views.logging == this)
        GeneralStuff::Views.logging = nullptr;
    QWidget::closeEvent(event);
}

void frmLogging::loggingStopped() {
    cmdLogData_->setText(kStartCaption);
}

void frmLogging::Form_Load() {
    SetOuterSize(this, 4320, 3840);
    GeneralStuff::Views.logging = this;
    txtLogInt_->setText(TrimmedNumber(static_cast<double>(GeneralStuff::LogInterval)));
    if (GeneralStuff::LoggingActive)
        cmdLogData_->setText(kStopCaption);
    for (int i = 0; i < 3; ++i)
        chkLog_[i]->setChecked(GeneralStuff::LogChannels[i]);
}

void frmLogging::cmdLogData_Click() {
    if (GeneralStuff::LoggingActive)
        stopLogging();
    else
        startLogging();
}

void frmLogging::cmdClose_Click() {
    OuterWindow(this)->close();
}

void frmLogging::stopLogging() {
    GeneralStuff::LoggingActive = false;
    setStatus("Ready");
    cmdLogData_->setText(kStartCaption);
}

// Everything is checked before the file is touched, so a refused start leaves
// neither a title block in the file nor a stop caption on the button.
void frmLogging::startLogging() {
    GeneralStuff::LogFileName.clear();
    const QString chosen = chooseLogFile();
    if (chosen.isEmpty())
        return;
    GeneralStuff::LogFileName = chosen;

    bool anyChannel = false;
    for (int i = 0; i < 3; ++i) {
        GeneralStuff::LogChannels[i] = chkLog_[i]->isChecked();
        anyChannel = anyChannel || GeneralStuff::LogChannels[i];
    }
    if (!anyChannel) {
        showWarning("At least one item must be selected for logging");
        return;
    }

    const std::optional<int32_t> interval = WholeValueOfText32(txtLogInt_->text());
    if (!interval) {
        showWarning(QString("The interval \"%1\" is out of range. Enter a number of milliseconds between "
                            "%2 and 2147483647.\nLogging has not started.")
                        .arg(txtLogInt_->text())
                        .arg(kShortestLogInterval));
        return;
    }
    if (*interval < kShortestLogInterval) {
        showWarning(
            QString(
                "The logging interval \"%1\" is too short. Enter a number of milliseconds of at least %2.\n"
                "Logging has not started.")
                .arg(txtLogInt_->text())
                .arg(kShortestLogInterval));
        return;
    }

    // A device or pipe is no log file: opening one for writing could block.
    const QFileInfo target(chosen);
    if ((target.exists() && !target.isFile()) || !AppendLogRunHeader()) {
        showWarning(QString("The log file could not be opened for writing:\n%1\nLogging has not started.")
                        .arg(QDir::toNativeSeparators(chosen)));
        return;
    }
    cmdLogData_->setText(kStopCaption);
    GeneralStuff::LogInterval = *interval;
    GeneralStuff::LoggingActive = true;
    GeneralStuff::LogRowCount = 0;
    setStatus("Logging Enabled");
}

QString frmLogging::chooseLogFile() {
    QFileDialog dialog(this);
    dialog.setObjectName("CommonDialog1");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The user may type a new name: the file is created on the first append.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(DialogStartFolder());
    dialog.setNameFilter("Log Files (*.csv)");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

void frmLogging::showWarning(const QString& text) {
    QMessageBox box(QMessageBox::Warning, kApplicationTitle, text, QMessageBox::Ok, this);
    box.exec();
}
