#pragma once
// Windows kept across benchmark runs must go while the application object still
// exists; static destruction after main would be too late.
#include <functional>

// Registers work to run once all benchmarks have run, before the application ends.
void RunBeforeApplicationEnds(std::function<void()> release);
