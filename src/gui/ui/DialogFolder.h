#pragma once
// Where the log and settings file dialogs start.
#include <QString>

// The program's folder, as engineers keep their files beside the tool; when the
// user cannot write there (an installed program), the home folder instead.
QString DialogStartFolder();
