#pragma once
// The simulated board's kept state: its writable registers in a small text file that every
// write replaces whole (a temporary file, then a rename), so successive runs share one board.
//
//     OTK5530 simulated board state
//     0x03 0x00
//     ...                 one line per writable register, by read address, in order
//     end
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

std::string BoardStateText(const std::map<int, uint8_t>& registers);
// False with «line N: reason» unless the text holds every writable register once, and
// nothing else; `registers` is then unchanged.
bool ParseBoardState(std::string_view text, std::map<int, uint8_t>& registers, std::string& error);
// Writes the state beside `path` and renames it into place: a reader sees the old or the new
// state, never a part. Two boards writing at once: the last whole write wins.
bool SaveBoardState(const std::string& path, const std::map<int, uint8_t>& registers, std::string& error);
