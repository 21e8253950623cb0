#include "views/RegMapRules.h"

#include "device/NumberText.h"

#include <cstdint>
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

// Any number of hexadecimal digits converts exactly. Seven digits at a time into
// base-10^9 limbs: a pasted box full of digits (32767) takes milliseconds, where
// one digit at a time into decimal digits froze the window for seconds.
QString exactDecimalOfHex(const QString& hexText) {
    constexpr uint64_t kLimbBase = 1000000000;
    constexpr int kDigitsPerStep = 7; // 16^7 * 10^9 still fits 64 bits
    std::vector<uint32_t> limbs{0};   // least significant first
    const auto multiplyAdd = [&limbs](uint64_t factor, uint64_t addend) {
        uint64_t carry = addend;
        for (uint32_t& limb : limbs) {
            const uint64_t v = limb * factor + carry;
            limb = static_cast<uint32_t>(v % kLimbBase);
            carry = v / kLimbBase;
        }
        for (; carry > 0; carry /= kLimbBase)
            limbs.push_back(static_cast<uint32_t>(carry % kLimbBase));
    };
    uint64_t factor = 1;
    uint64_t pending = 0;
    for (const QChar c : hexText) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            break;
        pending = pending * 16 + static_cast<uint64_t>(digit);
        factor *= 16;
        if (factor == (uint64_t{1} << (4 * kDigitsPerStep))) {
            multiplyAdd(factor, pending);
            factor = 1;
            pending = 0;
        }
    }
    if (factor > 1)
        multiplyAdd(factor, pending);
    while (limbs.size() > 1 && limbs.back() == 0)
        limbs.pop_back();
    QString text = QString::number(limbs.back());
    for (auto it = limbs.rbegin() + 1; it != limbs.rend(); ++it)
        text += QString::number(*it).rightJustified(9, '0');
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
