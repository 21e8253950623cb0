#pragma once
// The "Save/Recall Settings" window: saves the writable registers to a settings
// file and writes them back from one.
#include <QFileDialog>
#include <QWidget>

class QCheckBox;
class QLineEdit;

class frmSave : public QWidget {
public:
    explicit frmSave(QWidget* parent = nullptr);

    void Form_Load();
    void cmdsave_Click();
    void cmdRecall_Click();
    void cmdClose_Click();

private:
    QString chooseFile(QFileDialog::AcceptMode mode);

    QCheckBox* chkNotDefaults_ = nullptr;
    QCheckBox* chkPreview_ = nullptr;
    QLineEdit* txtComment_ = nullptr;
};
