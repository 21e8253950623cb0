#pragma once
// A simulated OTK5530 on the evaluation board's bus: its registers, conversions,
// limit comparisons and status bits, advanced lazily from a seconds clock on each
// access so that tests decide when time passes.
#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

struct RecordedRun;

// Seconds on a monotonic clock; only differences matter.
using SecondsClock = std::function<double()>;
SecondsClock SteadySeconds();

// A remote diode that opens during the run and, unless `until` is infinite, is mended again;
// both in seconds after power-on.
struct DiodeFault {
    double at = 0;
    double until = std::numeric_limits<double>::infinity();
};

struct ChipSettings {
    // Start temperatures in °C: Local, Remote1, Remote2.
    std::array<double, 3> start{25.0, 33.75, 30.5};
    // Slow sinusoidal drift with a little noise; off holds the start temperatures exactly.
    bool drift = true;
    uint32_t seed = 5530;
    // Remote diodes 1 and 2 left open.
    std::array<bool, 2> open{false, false};
    // Remote diodes 1 and 2 opening during the run.
    std::array<std::optional<DiodeFault>, 2> openDuring;
    // Power-on values by read address. A shared remote address names Remote 1's register.
    std::map<int, uint8_t> powerOn;
    // A recorded run the temperatures follow instead (its channels only), `replaySpeed`
    // times as fast, from its start again at its end when looped, else holding its last sample.
    std::shared_ptr<const RecordedRun> replay;
    double replaySpeed = 1;
    bool replayLoop = false;
};

class SimChip {
public:
    // A conversion measures the three channels one after the other; the busy bit is set for
    // that long at the start of every conversion period, and the readings change at its end.
    static constexpr double kConversionSecondsPerChannel = 0.005;
    static constexpr double kConversionSeconds = 3 * kConversionSecondsPerChannel;

    SimChip(const ChipSettings& settings, SecondsClock clock);

    // Unknown addresses read 0x00, reserved bits 0. Reading a status register clears
    // its latched high/low bits whose condition has gone.
    uint8_t Read(int address);
    // Writes to read-only or unknown addresses, and any write while the register
    // lock is set, are accepted and change nothing.
    void Write(int address, uint8_t value);

    // Empty when a power-on value may be given for this read address, else why not.
    static std::string PowerOnRefusal(int readAddress);
    // The read addresses of the registers a write can change (Remote 2's at 0x30..0x39).
    static std::vector<int> WritableAddresses();
    // True for a shared remote address (0x01, 0x10, ...): Remote 2's register when bit 3 of
    // Configuration Reg 1 is set.
    static bool SharedRemoteAddress(int readAddress);
    // Their values now, by those addresses: what a kept board state holds.
    std::map<int, uint8_t> WritableRegisters() const;

private:
    void advance(double now);
    void convert(double when);
    void compareChannels(const std::array<bool, 2>& open);
    bool diodeOpen(int remote, double when) const;
    int consecutiveNeeded() const;
    double period() const;
    bool standby() const;
    uint8_t readStatus1(double now);
    uint8_t readStatus2();
    bool alertActive() const;

    std::array<uint8_t, 256> regs_{};
    SecondsClock clock_;
    double powerOnTime_;
    // Start of the next conversion; it ends kConversionSeconds later.
    double nextConversion_;
    ChipSettings settings_;
    std::mt19937 noise_;

    // Status bits by register: conditions of the last conversion, latched high/low
    // bits, and the live THERM and open-diode bits.
    uint8_t limitNow1_ = 0, limitNow2_ = 0;
    uint8_t latched1_ = 0, latched2_ = 0;
    uint8_t therm1_ = 0, therm2_ = 0;
    uint8_t open1_ = 0, open2_ = 0;
    // The fault queue: conversions in a row that found each high/low condition, by status bit.
    std::array<int, 8> run1_{}, run2_{};
};
