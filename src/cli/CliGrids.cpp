#include "cli/CliGrids.h"

#include <algorithm>

namespace {
QByteArray hex2(int value) {
    return QByteArray::number(value, 16).rightJustified(2, '0');
}
} // namespace

QByteArray I2cdumpGrid(const std::array<std::optional<uint8_t>, 256>& bytes) {
    QByteArray grid = "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f    0123456789abcdef\n";
    for (int row = 0; row < 256; row += 16) {
        QByteArray ascii;
        grid += hex2(row) + ": ";
        for (int column = 0; column < 16; ++column) {
            const std::optional<uint8_t> byte = bytes[static_cast<size_t>(row + column)];
            grid += byte ? hex2(*byte) + ' ' : QByteArray("XX ");
            if (!byte)
                ascii += 'X';
            else if (*byte == 0x00 || *byte == 0xFF)
                ascii += '.';
            else if (*byte < 32 || *byte >= 127)
                ascii += '?';
            else
                ascii += static_cast<char>(*byte);
        }
        grid += "   " + ascii + "\n";
    }
    return grid;
}

QByteArray I2cdetectGrid(const std::vector<ScanHit>& hits, int32_t first, int32_t last) {
    QByteArray grid = "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n";
    QByteArray otk;
    for (int row = 0; row < 128; row += 16) {
        grid += hex2(row) + ": ";
        for (int column = 0; column < 16; ++column) {
            const int address = row + column;
            const auto hit = std::find_if(hits.begin(), hits.end(),
                                          [address](const ScanHit& h) { return h.address == address; });
            if (address < first || address > last)
                grid += "   ";
            else if (hit == hits.end())
                grid += "-- ";
            else
                grid += hex2(address) + ' ';
            if (hit != hits.end() && hit->otk5530)
                otk += " " + hex2(address);
        }
        grid += "\n";
    }
    return grid + "OTK5530:" + (otk.isEmpty() ? QByteArray(" none") : otk) + "\n";
}
