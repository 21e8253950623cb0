#pragma once
// The "Data Logging" window: channels, interval, file choice, start and stop.
#include "device/ViewRegistration.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

class frmLogging : public QWidget, public LoggingView {
public:
    explicit frmLogging(QWidget* parent = nullptr);

    void Form_Load();
    void cmdLogData_Click();
    void cmdClose_Click();
    // The button offers to start again once the monitoring cycle has stopped logging.
    void loggingStopped() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void startLogging();
    void stopLogging();
    void showWarning(const QString& text);

    QCheckBox* chkLog_[3] = {};
    QLineEdit* txtLogInt_ = nullptr;
    QPushButton* cmdLogData_ = nullptr;
    ViewRegistration<LoggingView> registration_{&OpenViews::logging, this};
};
