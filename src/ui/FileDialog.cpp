#include "ui/FileDialog.h"

#include "ui/DialogFolder.h"

QString ChooseFile(QWidget* window, QFileDialog::AcceptMode mode, QFileDialog::FileMode fileMode,
                   const QString& nameFilter, QString* chosenFilter) {
    QFileDialog dialog(window);
    dialog.setObjectName("CommonDialog1");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(fileMode);
    dialog.setDirectory(DialogStartFolder());
    dialog.setNameFilter(nameFilter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (chosenFilter)
        *chosenFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().first();
}
