#include "device/Clock.h"

namespace Clock {

namespace {
std::function<QDateTime()>& source() {
    static std::function<QDateTime()> current;
    return current;
}
} // namespace

QDateTime LocalNow() {
    return source() ? source()() : QDateTime::currentDateTime();
}

double TimeOfDay() {
    return LocalNow().time().msecsSinceStartOfDay() / 1000.0;
}

void SetLocalNowSource(std::function<QDateTime()> newSource) {
    source() = std::move(newSource);
}

} // namespace Clock
