#include "device/GeneralStuff.h"

#include "adapter/ChipRegisters.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"

namespace GeneralStuff {

namespace {
void relabelGraph() {
    GraphView* graph = Views.graph;
    if (Remote2Selected) {
        graph->setTraceCaption(2, "Remote2");
        graph->setTraceCaption(3, "");
        graph->setTraceVisible(3, false);
    } else {
        graph->setTraceCaption(2, "Remote1");
        graph->setTraceCaption(3, "Remote2");
        graph->setTraceVisible(3, true);
    }
}
} // namespace

void InitDeviceModel() {
    RegMapStuff::BuildRegisterTable();
    GraphInterval = 50;
    LogInterval = 100;
    ReadInterval = 100;
    ContinuousReading = true;
    LogChannels = {true, true, true};
    AfterRegisterWrite(kConfig1Write);
}

void AfterRegisterWrite(int32_t writeAddress) {
    if (writeAddress != kConfig1Write)
        return;
    const int16_t value = USBStuff::ReadRegister(DeviceAddress, kConfig1Read);
    ExtendedRange = (value & kConfig1ExtendedRange) != 0;
    Remote2Selected = (value & kConfig1Remote2Select) != 0;
    if (GraphOpen && Views.graph)
        relabelGraph();
    if (LimitsOpen && Views.limits) {
        Views.limits->Form_Load();
        Views.limits->showRemote2Selected(Remote2Selected);
    }
}

void ResetSharedState() {
    DeviceAddress = 0;
    ContinuousReading = false;
    ReadInterval = 0;
    GraphInterval = 0;
    LogInterval = 0;
    LogChannels = {};
    Temperatures = {};
    ExtendedRange = false;
    Remote2Selected = false;
    RegMapOpen = false;
    LimitsOpen = false;
    GraphOpen = false;
    LoggingActive = false;
    LogFileName.clear();
    FileNumber = 0;
    LogRowCount = 0;
    Views = OpenViews{};
}

} // namespace GeneralStuff
