#include "views/RegMapRules.h"

#include "device/NumberText.h"

#include <vector>

namespace {
int hexDigitValue(QChar c) {
    if (c >= '0' && c <= '9')
        return c.unicode() - '0';
    if (c >= 'a' && c <= 'f')
        return c.unicode() - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c.unicode() - 'A' + 10;
    return -1;
}

// Digit by digit, so that any number of hexadecimal digits converts exactly.
QString exactDecimalOfHex(const QString& hexText) {
    std::vector<int> digits{0}; // least significant first
    for (const QChar c : hexText) {
        int carry = hexDigitValue(c);
        if (carry < 0)
            break;
        for (int& d : digits) {
            const int v = d * 16 + carry;
            d = v % 10;
            carry = v / 10;
        }
        for (; carry > 0; carry /= 10)
            digits.push_back(carry % 10);
    }
    while (digits.size() > 1 && digits.back() == 0)
        digits.pop_back();
    QString text;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it)
        text += QChar('0' + *it);
    return text;
}
} // namespace

QString AddressCaption(int32_t address) {
    return HexText(address) + "h";
}
QString ValueCaption(int value) {
    return HexText(value) + "H";
}

QStringList BitNameFields(const QString& bitNames) {
    QStringList fields = bitNames.split(':');
    while (fields.size() < 8)
        fields.append(QString());
    return fields.mid(0, 8);
}

QStringList NumberedBitNames() {
    QStringList names;
    for (int bit = 7; bit >= 0; --bit)
        names.append(QString::number(bit));
    return names;
}

QString BitText(int value, int bit) {
    return (value >> bit) & 1 ? "1" : "0";
}
QString ToggledBitText(const QString& text) {
    return text == "0" ? "1" : "0";
}

int ByteOfBitTexts(const std::array<QString, 8>& textsByBit) {
    int value = 0;
    for (int bit = 7; bit >= 0; --bit)
        if (textsByBit[bit] != "0")
            value += 1 << bit;
    return value;
}

QString HexBoxTextForDecimal(const QString& decimalText) {
    const std::optional<int32_t> whole = WholeValueOfText32(decimalText);
    if (!whole)
        return QString();
    const int64_t value = *whole;
    return value < 0 ? "-" + HexText(-value) : HexText(value);
}

QString DecimalBoxTextForHex(const QString& hexText) {
    if (const std::optional<int32_t> value = HexValueOfText(hexText))
        return QString::number(*value);
    return exactDecimalOfHex(hexText);
}

CheckedNumber RegisterAddressOfText(const QString& text, const QString& boxName) {
    const std::optional<int32_t> address = HexValueOfText(text);
    if (address && *address <= 0xFF)
        return {*address, QString()};
    return {0, QString("The %1 address \"%2\" is not a register address.\n"
                       "Enter a hexadecimal address from 0 to FF.")
                   .arg(boxName, text.trimmed())};
}

CheckedNumber WriteValueOfText(const QString& text) {
    const std::optional<int32_t> value = WholeValueOfText32(text);
    if (value && *value >= 0 && *value <= 255)
        return {*value, QString()};
    return {0, QString("The value \"%1\" cannot be written to a register.\n"
                       "Enter a decimal value from 0 to 255.")
                   .arg(text.trimmed())};
}

BitCell BitCellOf(int bit, double frameWidth) {
    const double width = (frameWidth - 200) / 8;
    return {frameWidth - ((bit + 1) * width + 100), width};
}

double CentredLeft(const BitCell& cell, double ownWidth) {
    return cell.left + cell.width / 2 - ownWidth / 2;
}
