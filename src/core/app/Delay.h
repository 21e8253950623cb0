#pragma once
// The start-up pauses: busy waits that keep the user-interface thread.
#include <functional>

namespace GeneralStuff {

// Busy-waits until more than the given time has passed; window events are not processed.
void Delay(float milliseconds);

// Replaces the wait (tests record the pauses instead of waiting); empty restores the busy wait.
using DelayFunction = std::function<void(float milliseconds)>;
void SetDelayFunction(DelayFunction delay);

} // namespace GeneralStuff
