#include "views/frmConfig.h"

#include "chip/ChipRegisters.h"
#include "device/ChipAccess.h"
#include "device/USBStuff.h"
#include "device/WindowClasses.h"
#include "ui/AppMessages.h"
#include "ui/Twips.h"
#include "ui/UpDownButtons.h"
#include "ui/WrapCheckBox.h"
#include "views/ConfigBits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <iterator>

namespace {
constexpr double kCheckLeft = 360;
constexpr double kCheckWidth = 3480;
constexpr double kRightLeft = 3960;

QLabel* addLabel(QWidget* parent, const char* objectName, const QString& text, double top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    // Wider than its list, to the frame's edge, so "THERM Hysteresis" is not cut.
    label->setGeometry(PxRect(kRightLeft, top, 2280, 240));
    return label;
}

QComboBox* addList(QWidget* parent, const char* objectName, const QStringList& items, double top) {
    auto* list = new QComboBox(parent);
    list->setObjectName(objectName);
    list->addItems(items);
    list->setGeometry(PxRect(kRightLeft, top, 1575, 315));
    return list;
}

struct DialogRegister {
    int32_t writeAddress;
    int32_t readAddress;
    const char* name;
};
// The dialog's four registers, in the order of frmConfig::writtenElsewhere.
constexpr DialogRegister kDialogRegisters[] = {{kConfig1Write, kConfig1Read, "Configuration Reg 1"},
                                               {kConversionRateWrite, kConversionRateRead, "Conversion Rate"},
                                               {kConfig2, kConfig2, "Configuration Reg 2"},
                                               {kThermHysteresis, kThermHysteresis, "Therm Hysteresis"}};

// A control the user has not changed (it still shows what was filled) takes the new value.
void follow(QCheckBox* box, bool filled, bool chip, bool keepUserChanges) {
    if (!keepUserChanges || box->isChecked() == filled)
        box->setChecked(chip);
}

void follow(QComboBox* list, int filled, int chip, bool keepUserChanges) {
    if (!keepUserChanges || list->currentIndex() == filled)
        list->setCurrentIndex(chip);
}

QPushButton* addButton(QWidget* parent, const char* objectName, const QString& text, double left) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setGeometry(PxRect(left, 4200, 975, 375));
    return button;
}
} // namespace

frmConfig::frmConfig(QWidget* parent) : QWidget(parent) {
    setObjectName(WindowClass::kConfig);
    setWindowTitle("Configuration");
    buildSettingsFrame();
    cmdOK = addButton(this, "cmdOK", "OK", 3240);
    cmdCancel = addButton(this, "cmdCancel", "Cancel", 4440);
    cmdApply = addButton(this, "cmdApply", "Apply", 5640);
    connect(cmdOK, &QPushButton::clicked, this, &frmConfig::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmConfig::cmdCancel_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmConfig::cmdApply_Click);
    lblChipChanged = new QLabel(this);
    lblChipChanged->setObjectName("lblChipChanged");
    lblChipChanged->setWordWrap(true);
    lblChipChanged->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblChipChanged->setGeometry(PxRect(240, 4035, 2880, 780));
    chipChanges =
        ChipChanges::Subscription([this](const ChipChanges::Writes& writes) { chipChanged(writes); });
}

QCheckBox* frmConfig::addCheckBox(const char* objectName, const QString& text, double top) {
    auto* box = new QCheckBox(text, fraSettings);
    box->setObjectName(objectName);
    box->setGeometry(PxRect(kCheckLeft, top, kCheckWidth, 255));
    return box;
}

void frmConfig::buildSettingsFrame() {
    fraSettings = new QGroupBox("Device  Settings", this);
    fraSettings->setObjectName("fraSettings");
    fraSettings->setGeometry(PxRect(240, 240, 6375, 3735));

    chkMaskAll = addCheckBox("chkMaskAll", "Mask all  ALERTS on ALERT pin", 480);
    chkMaskR1 = addCheckBox("chkMaskR1", "Mask Remote1 ALERT", 840);
    chkMaskR2 = addCheckBox("chkMaskR2", "Mask Remote2 ALERT", 1200);
    chkExtRange = addCheckBox("chkExtRange", "Enable  Extended Temp  Range", 1560);
    chkAveraging = addCheckBox("chkAveraging", "Disable Averaging", 1920);
    chkLock = addCheckBox("chkLock", "Enable Register Lock bit", 2280);
    chkStandby = addCheckBox("chkStandby", "Enable Standby", 2640);
    chkR2onR1 = new WrapCheckBox("Display Remote2 measurements in Remote1 Regs", fraSettings);
    chkR2onR1->setObjectName("chkR2onR1");
    // Two lines of caption; taller than the 375 twips when the font needs it.
    const QRect r2onR1 = PxRect(kCheckLeft, 3000, kCheckWidth, 375);
    chkR2onR1->setGeometry(
        r2onR1.adjusted(0, 0, 0, std::max(0, chkR2onR1->heightForWidth(r2onR1.width()) - r2onR1.height())));

    addLabel(fraSettings, "lblPin8", "Pin8 Function", 600);
    cmbPin8 = addList(fraSettings, "cmbPin8", {"ALERT", "THERM2"}, 840);
    addLabel(fraSettings, "lblConvRate", "Conversion Rate", 1560);
    cmbConvRate = addList(fraSettings, "cmbConvRate", ConversionRateItems(), 1800);
    addLabel(fraSettings, "lblTHERMHyst", "THERM Hysteresis", 2520);
    txtTHERMHyst = new QLineEdit(fraSettings);
    txtTHERMHyst->setObjectName("txtTHERMHyst");
    txtTHERMHyst->setGeometry(PxRect(kRightLeft, 2760, 1320, 285));
    UpDown1 = new UpDownButtons(fraSettings);
    UpDown1->setObjectName("UpDown1");
    UpDown1->setGeometry(PxRect(5280, 2760, 255, 285));
    UpDown1->setRange(0, 100);
    UpDown1->setBuddy(txtTHERMHyst);
}

void frmConfig::Form_Load() {
    SetOuterSize(this, 6960, 5340);
    showConfig1(ReadChip(kConfig1Read), false);
    showConversionRate(ReadChip(kConversionRateRead), false);
    showConfig2(ReadChip(kConfig2), false);
    showHysteresis(ReadChip(kThermHysteresis), false);
    loaded = true;
}

void frmConfig::showConfig1(int16_t value, bool keepUserChanges) {
    const ConfigReg1Settings was = ConfigReg1Shown(filled.config1);
    const ConfigReg1Settings chip = ConfigReg1Shown(value);
    follow(chkMaskAll, was.maskAllAlerts, chip.maskAllAlerts, keepUserChanges);
    follow(chkStandby, was.standby, chip.standby, keepUserChanges);
    follow(chkR2onR1, was.remote2OnRemote1, chip.remote2OnRemote1, keepUserChanges);
    follow(chkExtRange, was.extendedRange, chip.extendedRange, keepUserChanges);
    follow(chkMaskR1, was.maskRemote1, chip.maskRemote1, keepUserChanges);
    follow(chkMaskR2, was.maskRemote2, chip.maskRemote2, keepUserChanges);
    follow(cmbPin8, was.pin8Therm2 ? 1 : 0, chip.pin8Therm2 ? 1 : 0, keepUserChanges);
    filled.config1 = value;
}

void frmConfig::showConversionRate(int16_t value, bool keepUserChanges) {
    follow(chkAveraging, filled.conversionRate & kConversionRateNoAveraging,
           value & kConversionRateNoAveraging, keepUserChanges);
    // Codes 11 to 15 have no item: nothing is selected and Apply keeps the code.
    follow(cmbConvRate, ConversionRateItem(filled.conversionRate).value_or(-1),
           ConversionRateItem(value).value_or(-1), keepUserChanges);
    filled.conversionRate = value;
}

void frmConfig::showConfig2(int16_t value, bool keepUserChanges) {
    follow(chkLock, LockShown(filled.config2), LockShown(value), keepUserChanges);
    filled.config2 = value;
}

void frmConfig::showHysteresis(int16_t value, bool keepUserChanges) {
    if (!keepUserChanges || txtTHERMHyst->text() == QString::number(filled.hysteresis))
        txtTHERMHyst->setText(QString::number(value));
    filled.hysteresis = value;
}

// A register written by another window's action is read once that action has ended.
void frmConfig::chipChanged(const ChipChanges::Writes& writes) {
    if (!loaded)
        return;
    QStringList names;
    for (size_t i = 0; i < std::size(kDialogRegisters); ++i) {
        if (!writes.wrote(kDialogRegisters[i].writeAddress))
            continue;
        const int16_t value = ReadChip(kDialogRegisters[i].readAddress);
        switch (i) {
        case 0:
            showConfig1(value, true);
            break;
        case 1:
            showConversionRate(value, true);
            break;
        case 2:
            showConfig2(value, true);
            break;
        default:
            showHysteresis(value, true);
            break;
        }
        names << kDialogRegisters[i].name;
    }
    if (!names.isEmpty())
        lblChipChanged->setText(
            QString("Written elsewhere while this dialog was open: %1. The settings you had not "
                    "changed now show the chip's values; your own changes are kept.")
                .arg(names.join(", ")));
}

void frmConfig::cmdApply_Click() {
    ApplyAction();
}

void frmConfig::cmdOK_Click() {
    ApplyAction();
    OuterWindow(this)->close();
}

void frmConfig::cmdCancel_Click() {
    OuterWindow(this)->close();
}

void frmConfig::ApplyAction() {
    lblChipChanged->clear();
    // The dialog keeps what it wrote; the other views follow once Apply (and its message) is done.
    const ChipChanges::Action action(&chipChanges);
    ConfigReg1Settings settings;
    settings.maskAllAlerts = chkMaskAll->isChecked();
    settings.standby = chkStandby->isChecked();
    settings.remote2OnRemote1 = chkR2onR1->isChecked();
    settings.extendedRange = chkExtRange->isChecked();
    settings.maskRemote1 = chkMaskR1->isChecked();
    settings.maskRemote2 = chkMaskR2->isChecked();
    settings.pin8Therm2 = cmbPin8->currentText() != cmbPin8->itemText(0);
    filled.config1 = static_cast<int16_t>(ConfigReg1Applied(ReadChip(kConfig1Read), settings));
    WriteChip(kConfig1Write, filled.config1);

    const int index = cmbConvRate->currentIndex();
    const std::optional<int> item = index >= 0 ? std::optional<int>(index) : std::nullopt;
    filled.conversionRate = static_cast<int16_t>(
        ConversionRateApplied(ReadChip(kConversionRateRead), chkAveraging->isChecked(), item));
    WriteChip(kConversionRateWrite, filled.conversionRate);

    filled.config2 = static_cast<int16_t>(LockApplied(ReadChip(kConfig2), chkLock->isChecked()));
    WriteChip(kConfig2, filled.config2);

    // A typed value never stops the dialog: only the hysteresis itself is refused.
    const std::optional<int32_t> hysteresis = HysteresisFromText(txtTHERMHyst->text());
    if (hysteresis) {
        WriteChip(kThermHysteresis, *hysteresis);
        filled.hysteresis = static_cast<int16_t>(std::min(*hysteresis, 255));
    } else {
        refuseHysteresis();
    }
}

void frmConfig::refuseHysteresis() {
    const int16_t kept = ReadChip(kThermHysteresis);
    showHysteresis(kept, false);
    // Over the main window, not the dialog: OK closes the dialog right after.
    ShowInputWarning(window(),
                     QString("The THERM Hysteresis cannot be negative: enter a number from 0 to "
                             "255. The other settings were written; the chip keeps its hysteresis of %1.")
                         .arg(kept),
                     Qt::WindowModal);
}
