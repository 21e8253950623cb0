#include "views/ReadingCaptions.h"

#include "device/NumberText.h"

namespace {
const QString kDegrees = QStringLiteral("°C");
} // namespace

QString GaugeCaption(float temperature) {
    return StrNumber(temperature) + kDegrees;
}

std::vector<TraceCaption> TraceCaptions(const std::array<float, 3>& t, bool remote2Selected) {
    std::vector<TraceCaption> captions{{1, "Local = " + TrimmedNumber(t[0]) + kDegrees}};
    if (remote2Selected)
        return {captions[0], {2, "Remote2 = " + FormatTemperature(t[2]) + kDegrees}};
    captions.push_back({2, "Remote1 = " + FormatTemperature(t[1]) + kDegrees});
    captions.push_back({3, "Remote2 = " + FormatTemperature(t[2]) + kDegrees});
    return captions;
}
