#pragma once
// The one file dialog of the program.
#include <QFileDialog>
#include <QString>

class QWidget;

// A modal, non-native file dialog named "CommonDialog1" over the window, starting
// in DialogStartFolder() and showing only the filter's files (several separated by
// ";;"). The chosen path, or an empty text when the user cancelled; the filter the
// user chose goes to chosenFilter when it is given. With an option caption the dialog
// carries a tick box "chkDialogOption" under its controls, unticked; its state on
// acceptance goes to optionTicked.
QString ChooseFile(QWidget* window, QFileDialog::AcceptMode mode, QFileDialog::FileMode fileMode,
                   const QString& nameFilter, QString* chosenFilter = nullptr,
                   const QString& optionCaption = {}, bool* optionTicked = nullptr);
