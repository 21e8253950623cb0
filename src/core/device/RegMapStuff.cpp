#include "device/RegMapStuff.h"

namespace RegMapStuff {

std::array<RegisterRecord, kRegisterCount> RegisterTable;

namespace {
const char* const kPlain = "7:6:5:4:3:2:1:0";
const char* const kHigh = "10:9:8:7:6:5:4:3";
const char* const kLow = "2:1:0:-:-:-:-:-";

struct Row {
    int32_t readAddr;
    int32_t writeAddr;
    const char* description;
    int16_t defaultValue;
    const char* bitNames;
};

// clang-format off
const Row kRows[kRegisterCount] = {
    {kPlaceholderAddress, kPlaceholderAddress, "", 0x00, ""},
    {0x00, 0, "Local Temp Value", 0x00, kPlain},
    {0x01, 0, "Remote 1 Temp High Byte (bit 3 Config Reg =0)", 0x00, kHigh},
    {0x01, 0, "Remote 2 Temp High Byte (bit 3 Config Reg=1)", 0x00, kHigh},
    {0x02, 0, "Status Reg 1", 0x00, "Bsy:LHgh:LLow:R1Hgh:R1Lw:D1ON:R1TM1:LTM1"},
    {0x03, 0x09, "Configuration Reg 1", 0x00, "Msk:Mn/Sty: AL/TH:Res:Rm1/2:TmpR:MkR1:MkR2"},
    {0x04, 0x0A, "Conversion Rate", 0x08, "Avg:Res:ChSel:ChSel:ConR:ConR:ConR:ConR"},
    {0x05, 0x0B, "Local Temp High Limit", 0x55, kPlain},
    {0x06, 0x0C, "Local Temp Low Limit", 0x00, kPlain},
    {0x07, 0x0D, "Remote 1 High Limit,High Byte (bit 3 Config Reg =0)", 0x55, kHigh},
    {0x07, 0x0D, "Remote 2 High Limit,High Byte (bit 3 Config Reg =1)", 0x55, kHigh},
    {0x08, 0x0E, "Remote 1 Low Limit,High Byte (bit 3 Config Reg =0)", 0x00, kHigh},
    {0x08, 0x0E, "Remote 2 Low Limit,High Byte (bit 3 Config Reg =1)", 0x00, kHigh},
    {0x10, 0, "Remote 1 Temp Low Byte (bit 3 Config Reg =0)", 0x00, kLow},
    {0x10, 0, "Remote 2 Temp Low Byte (bit 3 Config Reg =1)", 0x00, kLow},
    {0x11, 0x11, "Remote 1 Offset High Byte (bit 3 Config Reg =0)", 0x00, kHigh},
    {0x11, 0x11, "Remote 2 Offset High Byte (bit 3 Config Reg =1)", 0x00, kHigh},
    {0x12, 0x12, "Remote 1 Offset Low Byte (bit 3 Config Reg =0)", 0x00, kLow},
    {0x12, 0x12, "Remote 2 Offset Low Byte (bit 3 Config Reg =1)", 0x00, kLow},
    {0x13, 0x13, "Remote 1 High Limit,Low Byte (bit 3 Config Reg =0)", 0x00, kLow},
    {0x13, 0x13, "Remote 2 High Limit,Low Byte (bit 3 Config Reg =1)", 0x00, kLow},
    {0x14, 0x14, "Remote 1 Low Limit,Low Byte (bit 3 Config Reg =0)", 0x00, kLow},
    {0x14, 0x14, "Remote 2 Low Limit,Low Byte (bit 3 Config Reg =1)", 0x00, kLow},
    {0x19, 0x19, "Remote 1 Therm Limit (bit 3 Config Reg =0)", 0x55, kPlain},
    {0x19, 0x19, "Remote 2 Therm Limit (bit 3 Config Reg =1)", 0x55, kPlain},
    {0x20, 0x20, "Local Therm Limit", 0x55, kPlain},
    {0x21, 0x21, "Therm Hysteresis", 0x0A, kPlain},
    {0x22, 0x22, "Consecutive Alert", 0x01, kPlain},
    {0x23, 0, "Status Reg 2", 0x00, "Res:Res:Res:R2Hg:R2LW:D2ON:R2TM1:ALRT"},
    {0x24, 0x24, "Configuration Reg 2", 0x00, "LckB:Res:Res:Res:Res:Res:Res:Res"},
    {0x30, 0, "Remote 2 Temp High Byte", 0x00, kHigh},
    {0x31, 0x31, "Remote 2 High Limit,High Byte", 0x55, kHigh},
    {0x32, 0x32, "Remote 2 Low Limit,High Byte", 0x00, kHigh},
    {0x33, 0, "Remote 2 Temp Low Byte", 0x00, kLow},
    {0x34, 0x34, "Remote 2 Temp Offset High Byte", 0x00, kHigh},
    {0x35, 0x35, "Remote 2 Temp Offset Low Byte", 0x00, kLow},
    {0x36, 0x36, "Remote 2 High Limit,Low Byte", 0x00, kLow},
    {0x37, 0x37, "Remote 2 Low Limit,Low Byte", 0x00, kLow},
    {0x39, 0x39, "Remote 2 Therm Limit", 0x55, kPlain},
    {0xFE, 0, "Manufacturer ID", 0x41, kPlain},
    {0xFF, 0, "Die Revision Code", 0x52, kPlain},
};
// clang-format on
} // namespace

void BuildRegisterTable() {
    for (int i = 0; i < kRegisterCount; ++i) {
        const Row& row = kRows[i];
        RegisterRecord& record = RegisterTable[i];
        record.WriteAddr = row.writeAddr;
        record.ReadAddr = row.readAddr;
        record.Key = QString::fromUtf8(row.description);
        record.Description = record.Key;
        record.BitNames = QString::fromUtf8(row.bitNames);
        record.DefaultValue = row.defaultValue;
        record.ReadOnly = (i == 0) || row.writeAddr == 0;
    }
}

int FindRegisterByReadAddr(int32_t address) {
    for (int i = 0; i < kRegisterCount; ++i)
        if (RegisterTable[i].ReadAddr == address)
            return i;
    return kNotFound;
}

int FindRegisterByKey(const QString& key) {
    for (int i = 0; i < kRegisterCount; ++i)
        if (RegisterTable[i].Key == key)
            return i;
    return kNotFound;
}

} // namespace RegMapStuff
