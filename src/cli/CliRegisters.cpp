#include "cli/CliRegisters.h"

#include "cli/CliArgs.h"
#include "device/RegMapStuff.h"
#include "views/RegisterOverview.h"

#include <QRegularExpression>

using RegMapStuff::RegisterTable;

namespace {
QString squeezed(QString text) {
    static const QRegularExpression notAlphanumeric("[^a-z0-9]");
    return text.toLower().remove(notAlphanumeric);
}

QString withoutBrackets(const QString& description) {
    const qsizetype bracket = description.indexOf('(');
    return bracket < 0 ? description : description.left(bracket);
}

// Of the records matching, the one the chip's bus shows now.
int onBus(const std::vector<int>& candidates, bool remote2Selected) {
    for (int index : candidates)
        if (RecordOnBus(index, remote2Selected))
            return index;
    return candidates.empty() ? RegMapStuff::kNotFound : candidates.front();
}

int byName(const QString& text) {
    const QString wanted = squeezed(text);
    if (wanted.isEmpty())
        return RegMapStuff::kNotFound;
    // A full name first: «Remote 2 Temp High Byte» is the own register, not the shared one's short name.
    for (int i = 1; i < RegMapStuff::kRegisterCount; ++i)
        if (squeezed(RegisterTable[i].Description) == wanted)
            return i;
    for (int i = 1; i < RegMapStuff::kRegisterCount; ++i)
        if (squeezed(withoutBrackets(RegisterTable[i].Description)) == wanted)
            return i;
    return RegMapStuff::kNotFound;
}
} // namespace

int FindRegisterOperand(const QString& text, bool forWrite, bool remote2Selected) {
    const std::optional<int> address = ParseByteText(text);
    if (!address)
        return byName(text);
    std::vector<int> byWrite;
    std::vector<int> byRead;
    for (int i = 1; i < RegMapStuff::kRegisterCount; ++i) {
        if (RegisterTable[i].ReadAddr == *address)
            byRead.push_back(i);
        if (!RegisterTable[i].ReadOnly && RegisterTable[i].WriteAddr == *address)
            byWrite.push_back(i);
    }
    if (forWrite && !byWrite.empty())
        return onBus(byWrite, remote2Selected);
    return onBus(byRead, remote2Selected);
}
