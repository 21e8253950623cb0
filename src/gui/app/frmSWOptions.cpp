#include "app/frmSWOptions.h"

#include "app/OptionsApply.h"
#include "device/WindowClasses.h"
#include "ui/AppMessages.h"
#include "ui/Twips.h"
#include "ui/UpDownButtons.h"
#include "ui/WrapCheckBox.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

namespace {
struct IntervalRow {
    const char* caption;
    const char* textName;
    const char* upDownName;
    int minimum;
};
const IntervalRow kRows[3] = {
    {"Reading Interval (ms)", "txtReadInt", "UpDown1", 10},
    {"Graphing Interval (ms)", "txtGraphing", "UpDown2", 10},
    {"Logging Interval (ms)", "txtLogging", "UpDown3", 50},
};
} // namespace

frmSWOptions::frmSWOptions(QWidget* parent) : QWidget(parent) {
    setObjectName(WindowClass::kSWOptions);
    setWindowTitle("Options");

    auto* frame = new QGroupBox(this);
    frame->setObjectName("Frame1");
    frame->setGeometry(PxRect(120, 60, 4335, 2775));

    chkMonitoring_ = new WrapCheckBox("Enable continuous reading (graphing, interrupts data logging)", frame);
    chkMonitoring_->setObjectName("chkMonitoring");
    chkMonitoring_->setGeometry(PxRect(240, 240, 3855, 615));

    QLineEdit** texts[3] = {&txtReadInt_, &txtGraphing_, &txtLogging_};
    for (int i = 0; i < 3; ++i) {
        const int top = 1080 + i * 540;
        auto* label = new QLabel(kRows[i].caption, frame);
        label->setGeometry(PxRect(240, top + 30, 2055, 255));
        auto* text = new QLineEdit(frame);
        text->setObjectName(kRows[i].textName);
        text->setGeometry(PxRect(2400, top, 1095, 315));
        auto* upDown = new UpDownButtons(kRows[i].upDownName, text, 10, kRows[i].minimum, 10000, frame);
        upDown->setGeometry(PxRect(3495, top, 255, 315));
        *texts[i] = text;
    }

    auto* cmdApply = new QPushButton("Apply", this);
    cmdApply->setObjectName("cmdApply");
    cmdApply->setGeometry(PxRect(1920, 3000, 1215, 375));
    connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });

    auto* cmdCancel = new QPushButton("Close", this);
    cmdCancel->setObjectName("cmdCancel");
    cmdCancel->setGeometry(PxRect(3240, 3000, 1215, 375));
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmSWOptions::Form_Load() {
    SetOuterSize(this, 4800, 4455);
    const OptionTexts shown = CurrentOptionTexts();
    chkMonitoring_->setChecked(shown.continuousReading);
    txtGraphing_->setText(shown.graphInterval);
    txtLogging_->setText(shown.logInterval);
    txtReadInt_->setText(shown.readInterval);
}

void frmSWOptions::cmdApply_Click() {
    const OptionTexts texts{chkMonitoring_->isChecked(), txtReadInt_->text(), txtLogging_->text(),
                            txtGraphing_->text()};
    QStringList messages;
    for (const OptionField field : ApplyOptionTexts(texts)) {
        const QString typed = field == OptionField::ReadInterval  ? texts.readInterval
                              : field == OptionField::LogInterval ? texts.logInterval
                                                                  : texts.graphInterval;
        messages << OptionRefusedMessage(field, typed);
    }
    if (!messages.isEmpty())
        ShowWarningOver(this, messages.join("\n\n"));
}

void frmSWOptions::cmdCancel_Click() {
    OuterWindow(this)->close();
}
