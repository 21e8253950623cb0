#pragma once
// The start-up splash: product name, version and the connection progress.
#include "app/ConnectionSequence.h"

#include <QLabel>
#include <QWidget>

class frmSplash : public QWidget, public ConnectionProgress {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    // Sets the product name and version texts.
    void Form_Load();

    double progressFullWidth() const override;
    void showProgress() override;
    void setProgressText(const QString& text) override;
    void setProgressWidth(double width) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void centreOnScreen();

    QLabel* lblProductName;
    QLabel* lblVersion;
    QLabel* lblPlatform;
    QLabel* lblProgInfo;
    QLabel* lblProgress;
};
