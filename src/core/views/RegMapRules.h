#pragma once
// The register map window's rules: its number texts, the reading of its boxes
// and where its bits stand. Pure functions: no widget and no chip inside.
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// Address texts carry a lower-case "h": 5 gives «5h».
QString AddressCaption(int32_t address);
// Values on the read side carry an upper-case "H": 85 gives «55H».
QString ValueCaption(int value);

// The names of bits 7..0 from a record's colon-separated text, always eight
// (a record with fewer fields shows the missing names empty).
QStringList BitNameFields(const QString& bitNames);
// An unknown register's bits are named by their numbers: "7" .. "0".
QStringList NumberedBitNames();

QString BitText(int value, int bit);
QString ToggledBitText(const QString& text);
// The byte the bit labels show, from their texts indexed by bit number; any text but "0" is a set bit.
int ByteOfBitTexts(const std::array<QString, 8>& textsByBit);

// The hexadecimal box's text for the number in the decimal box (rounded, halves
// to even); a minus sign for negatives, empty beyond 32 bits.
QString HexBoxTextForDecimal(const QString& decimalText);
// The decimal box's text for the number in the hexadecimal box, exact however
// many digits, so a too-large number is refused when written, never cut short.
QString DecimalBoxTextForHex(const QString& hexText);

// A number read from a box, or why it cannot be used.
struct CheckedNumber {
    int32_t value = 0;
    QString problem;
    bool ok() const { return problem.isEmpty(); }
};

// A register address from an address box: its hexadecimal number, 0..FF only.
CheckedNumber RegisterAddressOfText(const QString& text, const QString& boxName);
// The value to write from the decimal box: its number rounded, 0..255 only.
CheckedNumber WriteValueOfText(const QString& text);

// Where bit labels stand in the bit frame, in twips: bit 7 leftmost, bit 0
// rightmost, a 100-twip margin at both ends.
struct BitCell {
    double left;
    double width;
};
BitCell BitCellOf(int bit, double frameWidth);
double CentredLeft(const BitCell& cell, double ownWidth);

constexpr double kBitTop = 240;
constexpr double kBitHeight = 555;
constexpr double kBitNameTop = 720;
constexpr double kBitNameWidth = 135;
constexpr double kBitNameHeight = 195;
