#include "views/InputWarning.h"

#include <QMessageBox>

void ShowInputWarning(QWidget* parent, const QString& message) {
    auto* box = new QMessageBox(QMessageBox::Warning, "OTK5530 Evaluation Software", message, QMessageBox::Ok,
                                parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
}
