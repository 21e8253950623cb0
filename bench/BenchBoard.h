#pragma once
// The simulated board the benchmarks talk to, connected as start-up leaves it.
#include <QDateTime>
#include <cstdint>

namespace BenchBoard {

constexpr int32_t kChipAddress = 0x4C;

// Resets the shared state, builds the register table and installs a simulated board
// whose temperatures hold still, with its bus set up and DeviceAddress pointing at the chip.
void Connect();

// A fake local clock that stands where it was last moved; Clock reads it.
class FakeClock {
public:
    FakeClock();
    ~FakeClock();
    void advanceMSecs(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    // UTC keeps many clock readings cheap; the work measured is the same.
    QDateTime m_now{QDate(2026, 12, 8), QTime(12, 0), Qt::UTC};
};

} // namespace BenchBoard
