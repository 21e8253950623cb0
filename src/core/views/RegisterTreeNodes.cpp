#include "views/RegisterTreeNodes.h"

#include <QStringList>

const std::vector<RegisterTreeNode>& RegisterTreeNodes() {
    static const std::vector<RegisterTreeNode> nodes = {
        {1, "General", "General", ""},
        {2, "Configuration", "Configuration", "General"},
        {3, "Configuration Reg 1", "Configuration Reg 1", "Configuration"},
        {3, "Configuration Reg 2", "Configuration Reg 2", "Configuration"},
        {3, "Conversion Rate", "Conversion Rate", "Configuration"},
        {3, "Therm Hysteresis", "Therm Hysteresis", "Configuration"},
        {2, "Status", "Status", "General"},
        {3, "Status Reg 1", "Status Reg 1", "Status"},
        {3, "Status Reg 2", "Status Reg 2", "Status"},
        {3, "Consecutive Alert", "Consecutive Alert", "Status"},
        {2, "ID/Revision", "ID/Revision", "General"},
        {3, "Manufacturer ID", "Manufacturer ID", "ID/Revision"},
        {3, "Die Revision Code", "Die Revision Code", "ID/Revision"},
        {1, "Local", "Local Registers", ""},
        {2, "LocalTemp", "Temperature", "Local"},
        {3, "Local Temp Value", "Value", "LocalTemp"},
        {2, "LocalLimits", "Limits", "Local"},
        {3, "Local Temp High Limit", "High Limit", "LocalLimits"},
        {3, "Local Temp Low Limit", "Low Limit", "LocalLimits"},
        {3, "Local Therm Limit", "THERM Limit", "LocalLimits"},
        {1, "Remote1", "Remote1 Registers", ""},
        {2, "Remote1Temp", "Temperature", "Remote1"},
        {3, "Remote 1 Temp High Byte (bit 3 Config Reg =0)", "Value(High Byte)", "Remote1Temp"},
        {3, "Remote 1 Temp Low Byte (bit 3 Config Reg =0)", "Value(Low Byte)", "Remote1Temp"},
        {2, "Remote1Limits", "Limits", "Remote1"},
        {3, "Remote 1 High Limit,High Byte (bit 3 Config Reg =0)", "High Limit(High Byte)", "Remote1Limits"},
        {3, "Remote 1 High Limit,Low Byte (bit 3 Config Reg =0)", "High Limit(Low Byte)", "Remote1Limits"},
        {3, "Remote 1 Low Limit,High Byte (bit 3 Config Reg =0)", "Low Limit(High Byte)", "Remote1Limits"},
        {3, "Remote 1 Low Limit,Low Byte (bit 3 Config Reg =0)", "Low Limit(Low Byte)", "Remote1Limits"},
        {3, "Remote 1 Therm Limit (bit 3 Config Reg =0)", "THERM Limit", "Remote1Limits"},
        {2, "Remote1Offset", "Offset", "Remote1"},
        {3, "Remote 1 Offset High Byte (bit 3 Config Reg =0)", "Offset(High Byte)", "Remote1Offset"},
        {3, "Remote 1 Offset Low Byte (bit 3 Config Reg =0)", "Offset(Low Byte)", "Remote1Offset"},
        {1, "Remote2", "Remote2 Registers", ""},
        {2, "Remote2Temp", "Temperature", "Remote2"},
        {3, "Remote 2 Temp High Byte", "Value(High Byte)", "Remote2Temp"},
        {3, "Remote 2 Temp Low Byte", "Value(Low Byte)", "Remote2Temp"},
        {2, "Remote2Limits", "Limits", "Remote2"},
        {3, "Remote 2 High Limit,High Byte", "High Limit(High Byte)", "Remote2Limits"},
        {3, "Remote 2 High Limit,Low Byte", "High Limit(Low Byte)", "Remote2Limits"},
        {3, "Remote 2 Low Limit,High Byte", "Low Limit(High Byte)", "Remote2Limits"},
        {3, "Remote 2 Low Limit,Low Byte", "Low Limit(Low Byte)", "Remote2Limits"},
        {3, "Remote 2 Therm Limit", "THERM Limit", "Remote2Limits"},
        {2, "Remote2Offset", "Offset", "Remote2"},
        {3, "Remote 2 Temp Offset High Byte", "Offset(High Byte)", "Remote2Offset"},
        {3, "Remote 2 Temp Offset Low Byte", "Offset(Low Byte)", "Remote2Offset"},
    };
    return nodes;
}

LevelColour RegisterTreeLevelColour(int level) {
    switch (level) {
    case 1:
        return {0, 128, 0};
    case 2:
        return {192, 0, 0};
    default:
        return {0, 0, 192};
    }
}

bool IsRegisterLeafPath(const QString& fullPath) {
    return fullPath.split(kTreePathSeparator).size() >= 3;
}
