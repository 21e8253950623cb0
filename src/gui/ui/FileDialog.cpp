#include "ui/FileDialog.h"

#include "ui/DialogFolder.h"

#include <QCheckBox>
#include <QGridLayout>

QString ChooseFile(QWidget* window, QFileDialog::AcceptMode mode, QFileDialog::FileMode fileMode,
                   const QString& nameFilter, QString* chosenFilter, const QStringList& optionCaptions,
                   QList<bool>* optionsTicked) {
    QFileDialog dialog(window);
    dialog.setObjectName("CommonDialog1");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(fileMode);
    dialog.setDirectory(DialogStartFolder());
    dialog.setNameFilter(nameFilter);
    QList<QCheckBox*> options;
    // The non-native dialog lays its controls out on a grid; each tick box takes a row below them.
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        for (const QString& caption : optionCaptions) {
            auto* option = new QCheckBox(caption, &dialog);
            option->setObjectName(QString("chkDialogOption_%1").arg(options.size()));
            grid->addWidget(option, grid->rowCount(), 0, 1, grid->columnCount());
            options.append(option);
        }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (chosenFilter)
        *chosenFilter = dialog.selectedNameFilter();
    if (optionsTicked) {
        optionsTicked->clear();
        for (const QCheckBox* option : options)
            optionsTicked->append(option->isChecked());
    }
    return dialog.selectedFiles().first();
}
