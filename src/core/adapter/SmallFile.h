#pragma once
// Reading a small text file the user names: only a regular file, opened without blocking
// (a FIFO or a device put in its place cannot hang the program), at most `limit` bytes.
#include <cstddef>
#include <string>

enum class SmallFileFault { None, Missing, TooLarge };

// The whole file into `text`; else the fault and a one-line `error` naming the file.
SmallFileFault ReadSmallFile(const std::string& path, size_t limit, std::string& text, std::string& error);
