#include "adapter/SimSources.h"

#include "adapter/SimDumpFile.h"
#include "adapter/SimRunFile.h"
#include "adapter/SimStateFile.h"
#include "adapter/SmallFile.h"
#include "chip/ChipRegisters.h"
#include "chip/TemperatureCodec.h"

#include <cerrno>
#include <cmath>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A dump or a state file is a few kilobytes; a long chamber run at 4 samples a second for a
// week is about 10 MiB of the program's log.
constexpr size_t kDumpFileLimit = 1024 * 1024;
constexpr size_t kStateFileLimit = 64 * 1024;
constexpr size_t kRunFileLimit = 16 * 1024 * 1024;

using Refusal = std::pair<std::string, std::string>;

std::string readFile(const std::string& path, size_t limit, std::string& text) {
    std::string error;
    return ReadSmallFile(path, limit, text, error) == SmallFileFault::None ? std::string() : error;
}

class SourceLoader {
public:
    SourceLoader(const std::set<std::string>& givenKeys, const std::set<int>& givenRegisters,
                 SimConfig& config)
        : keys_(givenKeys), registers_(givenRegisters), config_(config) {}

    Refusal fromDump(const std::string& path) {
        std::string text;
        std::string error = readFile(path, kDumpFileLimit, text);
        RegisterDump dump;
        if (error.empty() && !ParseRegisterDump(text, dump, error))
            error = path + ": " + error;
        if (!error.empty())
            return {"from_dump", error};
        if (dump.address && !given("address"))
            config_.addresses = {*dump.address};
        seedRegisters(dump.bytes);
        seedTemperatures(dump.bytes);
        // A dump is one moment of the board: it stays as dumped unless drift is asked for.
        if (!given("drift"))
            config_.chip.drift = false;
        config_.dumpFile = path;
        return {};
    }

    Refusal state(const std::string& path) {
        if (config_.addresses.size() != 1)
            return {"state", "the board state keeps the registers of one chip; give one address"};
        if (!folderWritable(path))
            return {"state", "the folder of " + path + " cannot be written"};
        config_.stateFile = path;
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 && errno == ENOENT)
            return {}; // a fresh board, kept from its first write on
        std::string text;
        std::string error = readFile(path, kStateFileLimit, text);
        std::map<int, uint8_t> registers;
        if (error.empty() && !ParseBoardState(text, registers, error))
            error = path + ": " + error + " (a damaged board state: remove the file to start afresh)";
        if (!error.empty())
            return {"state", error};
        for (const auto& [address, value] : registers)
            if (registers_.count(address) == 0)
                config_.chip.powerOn[address] = value;
        return {};
    }

    Refusal replay(const SimSourceKeys& keys) {
        const std::string& path = *keys.replay;
        std::string text;
        std::string error = readFile(path, kRunFileLimit, text);
        auto run = std::make_shared<RecordedRun>();
        if (error.empty() && !ParseRecordedRun(text, keys.replayRun, *run, error))
            error = path + ": " + error;
        if (!error.empty())
            return {"replay", error};
        config_.chip.replay = run;
        config_.chip.replaySpeed = keys.replaySpeed.value_or(1);
        config_.chip.replayLoop = keys.replayLoop.value_or(false);
        config_.replayFile = path;
        config_.replayRun = keys.replayRun.value_or(run->runCount);
        return {};
    }

private:
    bool given(const std::string& key) const { return keys_.count(key) != 0; }

    static bool folderWritable(const std::string& path) {
        const size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "."
                                   : slash == 0               ? "/"
                                                              : path.substr(0, slash);
        return ::access(folder.c_str(), W_OK | X_OK) == 0;
    }

    // Every register the chip lets a power-on value set; with bit 3 of Configuration Reg 1
    // the shared addresses showed Remote 2's registers, which 0x30..0x39 hold as well.
    void seedRegisters(const std::map<int, uint8_t>& bytes) {
        const bool remote2Shown =
            bytes.count(kConfig1Read) && (bytes.at(kConfig1Read) & kConfig1Remote2Select);
        for (const auto& [address, value] : bytes) {
            if (!SimChip::PowerOnRefusal(address).empty() || registers_.count(address) != 0)
                continue;
            if (remote2Shown && SimChip::SharedRemoteAddress(address))
                continue;
            config_.chip.powerOn[address] = value;
        }
    }

    // A dumped reading becomes the channel's temperature (less the offset the chip adds);
    // a diode the status shows open stays open.
    void seedTemperatures(const std::map<int, uint8_t>& bytes) {
        const auto byte = [&](int address) { return bytes.count(address) ? bytes.at(address) : 0; };
        const bool extended = byte(kConfig1Read) & kConfig1ExtendedRange;
        const bool remote2Shown = byte(kConfig1Read) & kConfig1Remote2Select;
        if (bytes.count(kLocalTemp) && !given("local"))
            config_.chip.start[0] = WholeDegreeCelsius(byte(kLocalTemp), extended);
        struct Remote {
            const char* key;
            int high, low, offsetHigh, offsetLow, status;
            uint8_t openBit;
            bool shown;
        };
        const Remote remotes[2] = {
            {"remote1", kRemote1TempHigh, kRemote1TempLow, kRemote1OffsetHigh, kRemote1OffsetLow, kStatus1,
             kStatus1Diode1Open, !remote2Shown},
            {"remote2", kRemote2TempHigh, kRemote2TempLow, kRemote2OffsetHigh, kRemote2OffsetLow, kStatus2,
             kStatus2Diode2Open, true},
        };
        for (size_t r = 0; r < 2; ++r) {
            const Remote& remote = remotes[r];
            if (bytes.count(remote.status) && (byte(remote.status) & remote.openBit) && !given("open") &&
                !config_.chip.openDuring[r]) {
                config_.chip.open[r] = true;
                continue;
            }
            if (!remote.shown || !bytes.count(remote.high) || !bytes.count(remote.low) || given(remote.key))
                continue;
            const double offset = RemoteOffset(static_cast<uint8_t>(byte(remote.offsetHigh)),
                                               static_cast<uint8_t>(byte(remote.offsetLow)));
            config_.chip.start[r + 1] =
                RemoteTemperatureCelsius(static_cast<uint8_t>(byte(remote.high)),
                                         static_cast<uint8_t>(byte(remote.low)), extended) -
                offset;
        }
    }

    const std::set<std::string>& keys_;
    const std::set<int>& registers_;
    SimConfig& config_;
};

std::string speedText(double speed) {
    std::string text = std::to_string(speed);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text + "x";
}

} // namespace

Refusal LoadSimSources(const SimSourceKeys& keys, const std::set<std::string>& givenKeys,
                       const std::set<int>& givenRegisters, SimConfig& config) {
    if (!keys.replay)
        for (const char* key : {"replay_speed", "replay_loop", "replay_run"})
            if (givenKeys.count(key))
                return {key, "needs replay=FILE"};
    SourceLoader loader(givenKeys, givenRegisters, config);
    // The dump first, the kept state over it: the state is the board as last written.
    if (keys.fromDump)
        if (Refusal refused = loader.fromDump(*keys.fromDump); !refused.first.empty())
            return refused;
    if (keys.state)
        if (Refusal refused = loader.state(*keys.state); !refused.first.empty())
            return refused;
    if (keys.replay)
        return loader.replay(keys);
    return {};
}

std::string SimSourcesText(const SimConfig& config) {
    std::string text;
    const auto add = [&](const std::string& part) { text += (text.empty() ? "" : "; ") + part; };
    if (!config.dumpFile.empty())
        add("registers from dump " + config.dumpFile);
    if (!config.replayFile.empty() && config.chip.replay) {
        std::string how = speedText(config.chip.replaySpeed);
        if (config.chip.replay->runCount > 1)
            how = "run " + std::to_string(config.replayRun) + " of " +
                  std::to_string(config.chip.replay->runCount) + ", " + how;
        add("temperatures replayed from " + config.replayFile + " (" + how +
            (config.chip.replayLoop ? ", looped)" : ")"));
    }
    if (!config.stateFile.empty())
        add("state kept in " + config.stateFile);
    return text;
}
