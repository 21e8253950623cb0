#include "chip/ChipRegisters.h"
#include "chip/StatusBits.h"
#include "chip/TemperatureCodec.h"
#include "device/RegMapStuff.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <set>

// The codec and the status-bit table read against the register table's bit names, the
// program's one description of every register.
namespace {

// Bit names of the first record read at the address, bit 0 first.
QStringList bitNamesAt(int32_t readAddr) {
    RegMapStuff::BuildRegisterTable();
    const int index = RegMapStuff::FindRegisterByReadAddr(readAddr);
    EXPECT_NE(index, RegMapStuff::kNotFound) << readAddr;
    QStringList names = RegMapStuff::RegisterTable[index].BitNames.split(':');
    std::reverse(names.begin(), names.end());
    return names;
}

// What the byte holds by its bit names: a plain register counts whole degrees (bits 7..0);
// a remote pair counts eighths (high byte bits 10..3, low byte bits 2..0). Quarter degrees
// leave out eighths bit 0.
double namedValue(const QStringList& names, uint8_t byte, bool pair, bool quarters) {
    double value = 0;
    for (int bit = 0; bit < 8; ++bit) {
        bool isNumber = false;
        const int place = names[bit].toInt(&isNumber);
        if (isNumber && (byte >> bit & 1) && !(pair && quarters && place == 0))
            value += pair ? (1 << place) / 8.0 : (1 << place);
    }
    return value;
}

struct Pair {
    uint8_t high;
    int low; // -1: a whole-degree register
};
const Pair kTemperatureRegisters[] = {{kLocalTemp, -1},
                                      {kLocalHighLimitRead, -1},
                                      {kLocalThermLimit, -1},
                                      {kRemote1ThermLimit, -1},
                                      {kRemote1TempHigh, kRemote1TempLow},
                                      {kRemote2TempHigh, kRemote2TempLow},
                                      {kRemote1HighLimitHighRead, kRemote1HighLimitLow},
                                      {kRemote2LowLimitHigh, kRemote2LowLimitLow}};

TEST(ChipTables, CodecWeighsEveryByteAsTheRegisterTableNamesItsBits) {
    for (const Pair& reg : kTemperatureRegisters) {
        const QStringList high = bitNamesAt(reg.high);
        for (int h = 0; h < 256; ++h) {
            if (reg.low < 0) {
                for (const bool extended : {false, true})
                    ASSERT_EQ(WholeDegreeCelsius(h, extended),
                              namedValue(high, h, false, false) - 64 * extended)
                        << reg.high << " byte " << h;
                continue;
            }
            const QStringList low = bitNamesAt(reg.low);
            for (int l = 0; l < 256; l += 0x20) {
                const double eighths = namedValue(high, h, true, false) + namedValue(low, l, true, false);
                const double quarters = namedValue(high, h, true, true) + namedValue(low, l, true, true);
                ASSERT_EQ(RemoteTemperatureCelsius(h, l, true), eighths - 64)
                    << reg.high << " " << h << " " << l;
                ASSERT_EQ(RemoteQuarterCelsius(h, l, false), quarters) << reg.high << " " << h << " " << l;
                const RemoteBytes back = RemoteTemperatureBytes(eighths, false);
                ASSERT_EQ(back.high, h);
                ASSERT_EQ(back.low, l);
            }
        }
    }
}

// A status bit's name says its channel (L, R1/D1, R2/D2) and kind (High, Low, THERM, ON).
TEST(ChipTables, StatusBitTableMatchesTheStatusRegistersBitNames) {
    std::set<int> lamps, lanes;
    for (const StatusBit& bit : kStatusBits) {
        const QString name = bitNamesAt(bit.secondRegister ? kStatus2 : kStatus1)[StatusBitIndex(bit)];
        SCOPED_TRACE(name.toStdString());
        ASSERT_EQ(bit.mask, 1 << StatusBitIndex(bit));
        if (name == "ALRT") {
            EXPECT_EQ(bit.kind, StatusKind::Alert);
            EXPECT_EQ(AlarmBitsOf(0, bit.mask), 0) << "ALERT has no alarm lane";
        } else {
            const int channel = name.startsWith('L') ? 0 : name.at(1).digitValue();
            EXPECT_EQ(bit.channel, channel);
            const QChar kind = name.at(channel == 0 ? 1 : 2).toUpper();
            const StatusKind named = kind == 'H'   ? StatusKind::High
                                     : kind == 'L' ? StatusKind::Low
                                     : kind == 'T' ? StatusKind::Therm
                                                   : StatusKind::OpenDiode;
            EXPECT_EQ(bit.kind, named);
            const AlarmBits bits = bit.secondRegister ? AlarmBitsOf(0, bit.mask) : AlarmBitsOf(bit.mask, 0);
            EXPECT_EQ(bits, AlarmBits(1u << AlarmLane(bit)));
            EXPECT_TRUE(AlarmSet(bits, channel, named));
            lanes.insert(AlarmLane(bit));
        }
        lamps.insert(bit.lamp);
    }
    EXPECT_EQ(lamps.size(), kStatusBits.size()) << "every bit has a lamp of its own";
    EXPECT_EQ(lanes.size(), kStatusBits.size() - 1) << "every alarm has a lane of its own";
}

} // namespace
