#pragma once
// The general configuration dialog: the chip's device settings in one place,
// read when it opens and written back with read-modify-write on Apply or OK.
#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
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
};
