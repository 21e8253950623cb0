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
    // The button offers to start again once the monitoring cycle has stopped logging.
    void loggingStopped();

private:
    void startLogging();
    void stopLogging();
    void showWarning(const QString& text);

    QCheckBox* chkLog_[3] = {};
    QLineEdit* txtLogInt_ = nullptr;
    QPushButton* cmdLogData_ = nullptr;
};
