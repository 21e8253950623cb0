#include "views/InputWarning.h"

#include "device/ApplicationTitle.h"

#include <QMessageBox>

void ShowInputWarning(QWidget* parent, const QString& message) {
    auto* box = new QMessageBox(QMessageBox::Warning, kApplicationTitle, message, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
}
