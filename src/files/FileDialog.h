#pragma once
// The log and settings file dialogs.
#include <QFileDialog>
#include <QString>

class QWidget;

// A modal, non-native file dialog named "CommonDialog1" over the window, starting
// in DialogStartFolder() and showing only the filter's files. The chosen path, or
// an empty text when the user cancelled.
QString ChooseFile(QWidget* window, QFileDialog::AcceptMode mode, QFileDialog::FileMode fileMode,
                   const QString& nameFilter);
