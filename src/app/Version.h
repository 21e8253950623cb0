#pragma once
// The program's version, as its version resource carries it (file version 1.0.0.2).
constexpr int kVersionMajor = 1, kVersionMinor = 0, kVersionRevision = 2;
