#pragma once
// The software options as the Apply button stores them. Pure: no widget inside.
#include <QString>
#include <vector>

enum class OptionField { ReadInterval, LogInterval, GraphInterval };

struct OptionTexts {
    bool continuousReading = true;
    QString readInterval;
    QString logInterval;
    QString graphInterval;
};

// The options as the dialog shows them when it opens.
OptionTexts CurrentOptionTexts();
// Stores the options in the order ContinuousReading, ReadInterval, LogInterval,
// GraphInterval. A logging interval below kShortestLogInterval is refused alone: it
// keeps its old value and the others are stored. A value that does not fit its
// variable stops there: it and the ones after it keep their old values, the ones
// before are stored. Returns the refused fields in that order, empty when all were stored.
std::vector<OptionField> ApplyOptionTexts(const OptionTexts& texts);
// The message that tells the user why a field was refused.
QString OptionRefusedMessage(OptionField field, const QString& text);
