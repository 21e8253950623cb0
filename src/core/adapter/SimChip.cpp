#include "adapter/SimChip.h"

#include "adapter/SimRunFile.h"
#include "chip/ChipRegisters.h"
#include "chip/TemperatureCodec.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <set>

namespace {

// Home read addresses: Remote 1 lives at the shared addresses, Remote 2 at 0x30..0x39.
enum Reg : int {
    LocalTemp = kLocalTemp,
    R1TempHigh = kRemote1TempHigh,
    Status1 = kStatus1,
    Config1 = kConfig1Read,
    ConvRate = kConversionRateRead,
    LocalHigh = kLocalHighLimitRead,
    LocalLow = kLocalLowLimitRead,
    R1HighLimHigh = kRemote1HighLimitHighRead,
    R1LowLimHigh = kRemote1LowLimitHighRead,
    R1TempLow = kRemote1TempLow,
    R1OffsetHigh = kRemote1OffsetHigh,
    R1OffsetLow = kRemote1OffsetLow,
    R1HighLimLow = kRemote1HighLimitLow,
    R1LowLimLow = kRemote1LowLimitLow,
    R1Therm = kRemote1ThermLimit,
    LocalTherm = kLocalThermLimit,
    ThermHyst = kThermHysteresis,
    ConsecutiveAlert = kConsecutiveAlert,
    Status2 = kStatus2,
    Config2 = kConfig2,
    R2TempHigh = kRemote2TempHigh,
    R2HighLimHigh = kRemote2HighLimitHigh,
    R2LowLimHigh = kRemote2LowLimitHigh,
    R2TempLow = kRemote2TempLow,
    R2OffsetHigh = kRemote2OffsetHigh,
    R2OffsetLow = kRemote2OffsetLow,
    R2HighLimLow = kRemote2HighLimitLow,
    R2LowLimLow = kRemote2LowLimitLow,
    R2Therm = kRemote2ThermLimit,
    ManufacturerId = kManufacturerId,
    DieRevision = kDieRevision,
};

// The shared remote address and Remote 2's own register behind it when bit 3 of
// Configuration Reg 1 is set.
const std::map<int, int> kRemote2Alias{
    {R1TempHigh, R2TempHigh},     {R1TempLow, R2TempLow},       {R1HighLimHigh, R2HighLimHigh},
    {R1LowLimHigh, R2LowLimHigh}, {R1OffsetHigh, R2OffsetHigh}, {R1OffsetLow, R2OffsetLow},
    {R1HighLimLow, R2HighLimLow}, {R1LowLimLow, R2LowLimLow},   {R1Therm, R2Therm},
};

const std::set<int> kReadable{
    LocalTemp,     R1TempHigh,     Status1,    Config1,          ConvRate,    LocalHigh,    LocalLow,
    R1HighLimHigh, R1LowLimHigh,   R1TempLow,  R1OffsetHigh,     R1OffsetLow, R1HighLimLow, R1LowLimLow,
    R1Therm,       LocalTherm,     ThermHyst,  ConsecutiveAlert, Status2,     Config2,      R2TempHigh,
    R2HighLimHigh, R2LowLimHigh,   R2TempLow,  R2OffsetHigh,     R2OffsetLow, R2HighLimLow, R2LowLimLow,
    R2Therm,       ManufacturerId, DieRevision};

// Registers the conversions compute; a power-on value for them would never be seen.
const std::set<int> kMeasured{LocalTemp, R1TempHigh, R1TempLow, R2TempHigh, R2TempLow, Status1, Status2};
const std::set<int> kReadOnly{LocalTemp, R1TempHigh, R1TempLow,      R2TempHigh, R2TempLow,
                              Status1,   Status2,    ManufacturerId, DieRevision};

// Configuration, conversion rate and the local and remote high-byte limits are
// written six above their read addresses; every other writable register is written
// where it is read.
constexpr int kFirstShiftedWrite = kConfig1Write;
constexpr int kLastShiftedWrite = kRemote1LowLimitHighWrite;
constexpr int kWriteShift = 6;

const std::map<int, uint8_t> kDefaults{
    {ConvRate, 0x08},   {LocalHigh, 0x55},      {R1HighLimHigh, 0x55},    {R1Therm, 0x55},
    {LocalTherm, 0x55}, {ThermHyst, 0x0A},      {ConsecutiveAlert, 0x01}, {R2HighLimHigh, 0x55},
    {R2Therm, 0x55},    {ManufacturerId, 0x41}, {DieRevision, 0x52},
};

// Bits the register table names "Res": they read 0 whatever was written.
const std::map<int, uint8_t> kReservedBits{{Config1, 0x10}, {ConvRate, 0x40}, {Config2, 0x7F}};

uint8_t withoutReservedBits(int address, uint8_t value) {
    const auto reserved = kReservedBits.find(address);
    return reserved == kReservedBits.end() ? value : static_cast<uint8_t>(value & ~reserved->second);
}

// Configuration Reg 1 bits.
constexpr uint8_t kMaskAll = kConfig1MaskAll;
constexpr uint8_t kStandby = kConfig1Standby;
constexpr uint8_t kRemote2Select = kConfig1Remote2Select;
constexpr uint8_t kExtendedRange = kConfig1ExtendedRange;
constexpr uint8_t kMaskRemote1 = kConfig1MaskRemote1;
constexpr uint8_t kMaskRemote2 = kConfig1MaskRemote2;
// Configuration Reg 2: the register lock.
constexpr uint8_t kLock = kConfig2Lock;

// Status bits.
constexpr uint8_t kLocalHigh = kStatus1LocalHigh, kLocalLow = kStatus1LocalLow, kR1High = kStatus1Remote1High,
                  kR1Low = kStatus1Remote1Low, kD1Open = kStatus1Diode1Open, kR1Therm = kStatus1Remote1Therm,
                  kLocalTherm = kStatus1LocalTherm;
constexpr uint8_t kR2High = kStatus2Remote2High, kR2Low = kStatus2Remote2Low, kD2Open = kStatus2Diode2Open,
                  kR2Therm = kStatus2Remote2Therm, kAlert = kStatus2Alert;
constexpr uint8_t kBusy = kStatus1Busy;

// Consecutive Alert bits 3..1: 000, 001, 011 and 111 ask for 1, 2, 3 and 4 out-of-limit
// conversions in a row; the codes between count their set bits.
constexpr int kQueueShift = 1;
constexpr uint8_t kQueueBits = 0x07;
constexpr int kLongestQueue = 4;

// Conversions per second for rate codes 0..9; 10 and above convert continuously.
constexpr double kRates[] = {0.0625, 0.125, 0.25, 0.5, 1, 2, 4, 8, 16, 32};
constexpr double kContinuousRate = 64;
static_assert(SimChip::kConversionSeconds < 1 / kContinuousRate,
              "a conversion ends within the shortest period");
// After a long pause only the most recent conversions are replayed.
constexpr long kMaxCatchUp = 4096;

// Drift: a slow sine per channel plus uniform noise.
constexpr double kDriftAmplitude = 2.0;
constexpr double kDriftPeriod[] = {300, 420, 360};
constexpr double kNoise = 0.15;
constexpr double kTwoPi = 6.283185307179586;

struct RemoteRegs {
    int tempHigh, tempLow, offsetHigh, offsetLow, highLimHigh, highLimLow, lowLimHigh, lowLimLow, therm;
};
const RemoteRegs kRemote[2] = {
    {R1TempHigh, R1TempLow, R1OffsetHigh, R1OffsetLow, R1HighLimHigh, R1HighLimLow, R1LowLimHigh, R1LowLimLow,
     R1Therm},
    {R2TempHigh, R2TempLow, R2OffsetHigh, R2OffsetLow, R2HighLimHigh, R2HighLimLow, R2LowLimHigh, R2LowLimLow,
     R2Therm},
};

// THERM is not latched: set above the limit, cleared below limit minus hysteresis,
// unchanged in between.
bool thermState(bool was, int reading, int limit, int hysteresis) {
    if (reading > limit)
        return true;
    if (reading < limit - hysteresis)
        return false;
    return was;
}

// Counts the conversions in a row that found each condition bit; the bits that have held
// for `needed` of them.
uint8_t queued(uint8_t found, std::array<int, 8>& runs, int needed) {
    uint8_t held = 0;
    for (int bit = 0; bit < 8; ++bit) {
        runs[bit] = ((found >> bit) & 1) ? std::min(runs[bit] + 1, kLongestQueue) : 0;
        if (runs[bit] >= needed)
            held |= static_cast<uint8_t>(1 << bit);
    }
    return held;
}

} // namespace

SecondsClock SteadySeconds() {
    return [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    };
}

std::string SimChip::PowerOnRefusal(int readAddress) {
    if (kReadable.count(readAddress) == 0)
        return "no register is read at this address";
    if (kMeasured.count(readAddress) != 0)
        return "this register is measured by the chip";
    return {};
}

std::vector<int> SimChip::WritableAddresses() {
    std::vector<int> addresses;
    for (int address : kReadable)
        if (kReadOnly.count(address) == 0)
            addresses.push_back(address);
    return addresses;
}

bool SimChip::SharedRemoteAddress(int readAddress) {
    return kRemote2Alias.count(readAddress) != 0;
}

std::map<int, uint8_t> SimChip::WritableRegisters() const {
    std::map<int, uint8_t> values;
    for (int address : WritableAddresses())
        values[address] = regs_[static_cast<size_t>(address)];
    return values;
}

SimChip::SimChip(const ChipSettings& settings, SecondsClock clock)
    : clock_(clock ? std::move(clock) : SteadySeconds()), settings_(settings), noise_(settings.seed) {
    for (const auto& [address, value] : kDefaults)
        regs_[address] = value;
    for (const auto& [address, value] : settings_.powerOn)
        regs_[address] = withoutReservedBits(address, value);
    powerOnTime_ = clock_();
    // The chip comes up with its first conversion done, so a reading right after
    // power-on shows the temperatures, not zeros.
    nextConversion_ = powerOnTime_ + period();
    if (!standby())
        convert(powerOnTime_);
}

bool SimChip::standby() const {
    return (regs_[Config1] & kStandby) != 0;
}

double SimChip::period() const {
    const int code = regs_[ConvRate] & 0x0F;
    return 1.0 / (code < 10 ? kRates[code] : kContinuousRate);
}

int SimChip::consecutiveNeeded() const {
    int needed = 1;
    for (uint8_t bits = (regs_[ConsecutiveAlert] >> kQueueShift) & kQueueBits; bits != 0; bits >>= 1)
        needed += bits & 1;
    return needed;
}

bool SimChip::diodeOpen(int remote, double when) const {
    if (settings_.open[remote])
        return true;
    const std::optional<DiodeFault>& fault = settings_.openDuring[remote];
    const double sincePowerOn = when - powerOnTime_;
    return fault && sincePowerOn >= fault->at && sincePowerOn < fault->until;
}

void SimChip::advance(double now) {
    if (standby())
        return;
    const double step = period();
    if (nextConversion_ + kConversionSeconds > now)
        return;
    const double pending = std::floor((now - kConversionSeconds - nextConversion_) / step) + 1;
    if (pending > kMaxCatchUp)
        nextConversion_ += (pending - kMaxCatchUp) * step;
    while (nextConversion_ + kConversionSeconds <= now) {
        convert(nextConversion_ + kConversionSeconds);
        nextConversion_ += step;
    }
}

void SimChip::convert(double when) {
    std::array<double, 3> celsius = settings_.start;
    if (settings_.drift) {
        std::uniform_real_distribution<double> noise(-kNoise, kNoise);
        for (size_t i = 0; i < celsius.size(); ++i)
            celsius[i] +=
                kDriftAmplitude * std::sin(kTwoPi * (when - powerOnTime_) / kDriftPeriod[i]) + noise(noise_);
    }
    std::array<bool, 2> open{diodeOpen(0, when), diodeOpen(1, when)};
    if (settings_.replay) {
        // The recording starts at power-on and runs on the chip's own clock, replaySpeed times as fast.
        const RecordedSample& sample =
            settings_.replay->at((when - powerOnTime_) * settings_.replaySpeed, settings_.replayLoop);
        for (size_t i = 0; i < celsius.size(); ++i) {
            if (!settings_.replay->channels[i])
                continue;
            if (sample.celsius[i])
                celsius[i] = *sample.celsius[i];
            else if (i > 0)
                open[i - 1] = true;
        }
    }
    const bool extended = (regs_[Config1] & kExtendedRange) != 0;
    regs_[LocalTemp] = LocalTemperatureByte(celsius[0], extended);
    for (int r = 0; r < 2; ++r) {
        const RemoteRegs& reg = kRemote[r];
        // An open diode reads as the highest value the registers can hold.
        RemoteBytes bytes{0xFF, 0xE0};
        if (!open[r])
            bytes = RemoteTemperatureBytes(
                celsius[1 + r] + RemoteOffset(regs_[reg.offsetHigh], regs_[reg.offsetLow]), extended);
        regs_[reg.tempHigh] = bytes.high;
        regs_[reg.tempLow] = bytes.low;
    }
    compareChannels(open);
}

void SimChip::compareChannels(const std::array<bool, 2>& open) {
    const int hysteresis = WholeDegreeCode(regs_[ThermHyst]);

    const int local = WholeDegreeCode(regs_[LocalTemp]);
    uint8_t now1 = 0;
    if (local > WholeDegreeCode(regs_[LocalHigh]))
        now1 |= kLocalHigh;
    if (local < WholeDegreeCode(regs_[LocalLow]))
        now1 |= kLocalLow;
    const bool localTherm =
        thermState(therm1_ & kLocalTherm, local, WholeDegreeCode(regs_[LocalTherm]), hysteresis);

    bool remoteTherm[2];
    uint8_t remoteNow[2] = {0, 0};
    for (int r = 0; r < 2; ++r) {
        const RemoteRegs& reg = kRemote[r];
        const int reading = RemoteReadingCode(regs_[reg.tempHigh], regs_[reg.tempLow]);
        if (reading > RemoteLimitCode(regs_[reg.highLimHigh], regs_[reg.highLimLow]))
            remoteNow[r] |= kR1High;
        if (reading < RemoteLimitCode(regs_[reg.lowLimHigh], regs_[reg.lowLimLow]))
            remoteNow[r] |= kR1Low;
        const bool was = r == 0 ? (therm1_ & kR1Therm) != 0 : (therm2_ & kR2Therm) != 0;
        remoteTherm[r] = thermState(was, reading, WholeDegreeCode(regs_[reg.therm]), hysteresis);
    }
    // Remote 1 and Remote 2 high/low bits sit at the same positions in their registers.
    // A condition counts once it has held for the conversions the fault queue asks for.
    const int needed = consecutiveNeeded();
    limitNow1_ = queued(now1 | remoteNow[0], run1_, needed);
    limitNow2_ = queued(remoteNow[1], run2_, needed);
    latched1_ |= limitNow1_;
    latched2_ |= limitNow2_;
    therm1_ = (localTherm ? kLocalTherm : 0) | (remoteTherm[0] ? kR1Therm : 0);
    therm2_ = remoteTherm[1] ? kR2Therm : 0;
    open1_ = open[0] ? kD1Open : 0;
    open2_ = open[1] ? kD2Open : 0;
}

bool SimChip::alertActive() const {
    const uint8_t config = regs_[Config1];
    if (config & kMaskAll)
        return false;
    if (latched1_ & (kLocalHigh | kLocalLow))
        return true;
    if (!(config & kMaskRemote1) && ((latched1_ & (kR1High | kR1Low)) || open1_))
        return true;
    return !(config & kMaskRemote2) && ((latched2_ & (kR2High | kR2Low)) || open2_);
}

uint8_t SimChip::readStatus1(double now) {
    // advance() has finished every conversion that ended by now: one that has started is running.
    const bool busy = !standby() && nextConversion_ <= now;
    const uint8_t value = latched1_ | therm1_ | open1_ | (busy ? kBusy : 0);
    latched1_ &= limitNow1_;
    return value;
}

uint8_t SimChip::readStatus2() {
    const uint8_t value = latched2_ | therm2_ | open2_ | (alertActive() ? kAlert : 0);
    latched2_ &= limitNow2_;
    return value;
}

uint8_t SimChip::Read(int address) {
    const double now = clock_();
    advance(now);
    if (address == Status1)
        return readStatus1(now);
    if (address == Status2)
        return readStatus2();
    if (kReadable.count(address) == 0)
        return 0x00;
    if (regs_[Config1] & kRemote2Select) {
        const auto alias = kRemote2Alias.find(address);
        if (alias != kRemote2Alias.end())
            address = alias->second;
    }
    return regs_[address];
}

void SimChip::Write(int address, uint8_t value) {
    const double now = clock_();
    advance(now);
    if (regs_[Config2] & kLock)
        return;
    int target = address;
    if (address >= kFirstShiftedWrite && address <= kLastShiftedWrite)
        target = address - kWriteShift;
    else if (address >= Config1 && address <= R1LowLimHigh)
        return; // read addresses of the shifted registers are not write addresses
    if (kReadable.count(target) == 0 || kReadOnly.count(target) != 0)
        return;
    if (regs_[Config1] & kRemote2Select) {
        const auto alias = kRemote2Alias.find(target);
        if (alias != kRemote2Alias.end())
            target = alias->second;
    }
    const bool wasStandby = standby();
    const int oldRate = regs_[ConvRate] & 0x0F;
    regs_[target] = withoutReservedBits(target, value);
    // A new rate, or waking from standby, starts a fresh conversion period now.
    if ((wasStandby && !standby()) || oldRate != (regs_[ConvRate] & 0x0F))
        nextConversion_ = now + period();
}
