#pragma once
// The one file dialog of the program.
#include <QFileDialog>
#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

// A modal, non-native file dialog named "CommonDialog1" over the window, starting
// in DialogStartFolder() and showing only the filter's files (several separated by
// ";;"). The chosen path, or an empty text when the user cancelled; the filter the
// user chose goes to chosenFilter when it is given. Each option caption adds a tick box
// "chkDialogOption_N" under its controls, unticked; their states on acceptance go to
// optionsTicked, in the captions' order.
QString ChooseFile(QWidget* window, QFileDialog::AcceptMode mode, QFileDialog::FileMode fileMode,
                   const QString& nameFilter, QString* chosenFilter = nullptr,
                   const QStringList& optionCaptions = {}, QList<bool>* optionsTicked = nullptr);
