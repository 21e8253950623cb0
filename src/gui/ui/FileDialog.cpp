#include "ui/FileDialog.h"

#include "ui/DialogFolder.h"

#include <QCheckBox>
#include <QGridLayout>

QString ChooseFile(QWidget* window, QFileDialog::AcceptMode mode, QFileDialog::FileMode fileMode,
                   const QString& nameFilter, QString* chosenFilter, const QString& optionCaption,
                   bool* optionTicked) {
    QFileDialog dialog(window);
    dialog.setObjectName("CommonDialog1");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(fileMode);
    dialog.setDirectory(DialogStartFolder());
    dialog.setNameFilter(nameFilter);
    QCheckBox* option = nullptr;
    // The non-native dialog lays its controls out on a grid; the tick box takes a row below them.
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()); grid && !optionCaption.isEmpty()) {
        option = new QCheckBox(optionCaption, &dialog);
        option->setObjectName("chkDialogOption");
        grid->addWidget(option, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (chosenFilter)
        *chosenFilter = dialog.selectedNameFilter();
    if (option && optionTicked)
        *optionTicked = option->isChecked();
    return dialog.selectedFiles().first();
}
