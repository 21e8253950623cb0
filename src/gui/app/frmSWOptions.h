#pragma once
// The "Options" window: continuous reading and the three monitoring intervals.
#include <QWidget>

class QCheckBox;
class QLineEdit;

class frmSWOptions : public QWidget {
public:
    explicit frmSWOptions(QWidget* parent = nullptr);

    void Form_Load();
    void cmdApply_Click();
    void cmdCancel_Click();

private:
    QCheckBox* chkMonitoring_ = nullptr;
    QLineEdit* txtReadInt_ = nullptr;
    QLineEdit* txtGraphing_ = nullptr;
    QLineEdit* txtLogging_ = nullptr;
};
