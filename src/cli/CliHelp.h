#pragma once
// The text of otk5530-cli --help: every option and verb, each verb with an example.
#include <QString>

QString CliHelpText();
