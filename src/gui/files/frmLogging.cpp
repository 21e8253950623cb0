#include "files/frmLogging.h"

#include "app/Announcements.h"
#include "device/NumberText.h"
#include "device/USBStuff.h"
#include "device/WindowClasses.h"
#include "files/LogGrid.h"
#include "files/LogLines.h"
#include "files/LogStart.h"
#include "ui/AppMessages.h"
#include "ui/FileDialog.h"
#include "ui/Twips.h"
#include "ui/UpDownButtons.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
const char* const kStartCaption = "Start Logging";
const char* const kStopCaption = "Click to stop logging...";

void setStatus(const QString& text) {
    emit Announcements::program().statusText(text);
}
} // namespace

frmLogging::frmLogging(QWidget* parent) : QWidget(parent) {
    setObjectName(WindowClass::kLogging);
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

void frmLogging::loggingStopped() {
    cmdLogData_->setText(kStartCaption);
}

void frmLogging::Form_Load() {
    SetOuterSize(this, 4320, 3840);
    const LogSettings settings = ProgramLogSettings();
    txtLogInt_->setText(TrimmedNumber(static_cast<double>(settings.interval)));
    if (ProgramLogging())
        cmdLogData_->setText(kStopCaption);
    for (int i = 0; i < 3; ++i)
        chkLog_[i]->setChecked(settings.channels[i]);
}

void frmLogging::cmdLogData_Click() {
    if (ProgramLogging())
        stopLogging();
    else
        startLogging();
}

void frmLogging::cmdClose_Click() {
    OuterWindow(this)->close();
}

void frmLogging::stopLogging() {
    StopProgramLog();
    setStatus("Ready");
    cmdLogData_->setText(kStartCaption);
}

// A refused start leaves neither a title block in the file nor a stop caption on
// the button, and the logging state as it was but for the channels: the ticks are
// the user's choice and the window shows them again next time.
void frmLogging::startLogging() {
    // The user may type a new name: the file is created on the first append.
    const QString chosen =
        ChooseFile(this, QFileDialog::AcceptOpen, QFileDialog::AnyFile, "Log Files (*.csv)");
    if (chosen.isEmpty())
        return;
    std::array<bool, 3> channels{};
    for (int i = 0; i < 3; ++i)
        channels[i] = chkLog_[i]->isChecked();
    LogSettings settings = ProgramLogSettings();
    settings.channels = channels;
    SetProgramLogSettings(settings);
    const std::optional<LogStartRefusal> refused =
        StartLogging(chosen, channels, WholeValueOfText32(txtLogInt_->text()));
    if (!refused) {
        cmdLogData_->setText(kStopCaption);
        return;
    }
    switch (*refused) {
    case LogStartRefusal::NoChannel:
        showWarning("At least one item must be selected for logging");
        break;
    case LogStartRefusal::IntervalOutOfRange:
        showWarning(QString("The interval \"%1\" is out of range. Enter a number of milliseconds between "
                            "%2 and 2147483647.\nLogging has not started.")
                        .arg(txtLogInt_->text())
                        .arg(kShortestLogInterval));
        break;
    case LogStartRefusal::IntervalTooShort:
        showWarning(
            QString(
                "The logging interval \"%1\" is too short. Enter a number of milliseconds of at least %2.\n"
                "Logging has not started.")
                .arg(txtLogInt_->text())
                .arg(kShortestLogInterval));
        break;
    case LogStartRefusal::FileNotWritable:
        showWarning(QString("The log file could not be opened for writing:\n%1\nLogging has not started.")
                        .arg(QDir::toNativeSeparators(chosen)));
        break;
    }
}

void frmLogging::showWarning(const QString& text) {
    ShowWarningOver(this, text);
}
