#pragma once
// The general configuration dialog: the chip's device settings in one place,
// read when it opens and written back with read-modify-write on Apply or OK.
#include "device/ChipChanges.h"

#include <QWidget>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDownButtons;

class frmConfig : public QWidget {
    Q_OBJECT
public:
    explicit frmConfig(QWidget* parent = nullptr);

    void Form_Load();
    void cmdApply_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    void buildSettingsFrame();
    QCheckBox* addCheckBox(const char* objectName, const QString& text, double top);
    // Writes the four registers; a refused hysteresis leaves only that register as it was.
    void ApplyAction();
    void refuseHysteresis();

    // Fill the controls of one register. With keepUserChanges a control the user has
    // changed since it was last filled keeps the user's value.
    void showConfig1(int16_t value, bool keepUserChanges);
    void showConversionRate(int16_t value, bool keepUserChanges);
    void showConfig2(int16_t value, bool keepUserChanges);
    void showHysteresis(int16_t value, bool keepUserChanges);
    // Takes the registers written elsewhere into the controls and says so in the dialog.
    void chipChanged(const ChipChanges::Writes& writes);

    // The chip values the controls were last filled from (or that Apply wrote): a
    // control still showing its value here is one the user has not changed.
    struct Filled {
        int16_t config1 = 0;
        int16_t conversionRate = 0;
        int16_t config2 = 0;
        int16_t hysteresis = 0;
    } filled;
    bool loaded = false;

    QGroupBox* fraSettings = nullptr;
    QCheckBox* chkMaskAll = nullptr;
    QCheckBox* chkMaskR1 = nullptr;
    QCheckBox* chkMaskR2 = nullptr;
    QCheckBox* chkExtRange = nullptr;
    QCheckBox* chkAveraging = nullptr;
    QCheckBox* chkLock = nullptr;
    QCheckBox* chkStandby = nullptr;
    QCheckBox* chkR2onR1 = nullptr;
    QComboBox* cmbPin8 = nullptr;
    QComboBox* cmbConvRate = nullptr;
    QLineEdit* txtTHERMHyst = nullptr;
    UpDownButtons* UpDown1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdApply = nullptr;
    QLabel* lblChipChanged = nullptr;
    ChipChanges::Subscription chipChanges;
};
