#pragma once
// The register table: the program's one description of the chip's registers.
#include <QString>
#include <array>
#include <cstdint>

struct RegisterRecord {
    int32_t WriteAddr = 0; // 0: no write address
    int32_t ReadAddr = 0;
    QString Key;
    QString Description;
    QString BitNames; // names of bits 7..0, colon separated
    int16_t DefaultValue = 0;
    bool ReadOnly = true; // left out of a saved configuration
};

namespace RegMapStuff {

constexpr int kRegisterCount = 41;
constexpr int kNotFound = -1;
// Both addresses of the placeholder record 0: outside the 8-bit register space.
constexpr int32_t kPlaceholderAddress = 1000;

extern std::array<RegisterRecord, kRegisterCount> RegisterTable;

void BuildRegisterTable();
// First index (0..40) whose ReadAddr equals the address, or kNotFound.
int FindRegisterByReadAddr(int32_t address);
// First index whose Key equals the text exactly, or kNotFound.
int FindRegisterByKey(const QString& key);

} // namespace RegMapStuff
