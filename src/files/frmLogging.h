#pragma once
// The "Data Logging" window: channels, interval, file choice, start and stop.
#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

class frmLogging : public QWidget {
public:
    explicit frmLogging(QWidget* parent = nullptr);

    void Form_Load();
    void cmdLogData_Click();
    void cmdClose_Click();

private:
    void startLogging();
    void stopLogging();
    QString chooseLogFile();
    void showWarning(const QString& text);

    QCheckBox* chkLog_[3] = {};
    QLineEdit* txtLogInt_ = nullptr;
    QPushButton* cmdLogData_ = nullptr;
};
