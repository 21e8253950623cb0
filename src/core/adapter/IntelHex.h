#pragma once
// Checks the text of an Intel HEX file, the format of the adapter firmware image.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct HexVerdict {
    bool ok = false;
    std::string error; // empty when ok; otherwise one line naming the line number and the fault
};

// Accepts data (00), end-of-file (01) and extended address (02, 04) records, each with a
// correct byte count and checksum, and exactly one end-of-file record with only blank
// lines after it. CR LF and LF line ends are both accepted.
HexVerdict VerifyIntelHex(std::string_view text);

struct HexDataRecord {
    uint32_t address = 0; // with the extended address records applied
    std::vector<uint8_t> bytes;
};

struct HexImage {
    HexVerdict verdict;
    std::vector<HexDataRecord> records; // the data records in file order; empty unless verdict.ok
};

// Checks the text as VerifyIntelHex does and returns its data records.
HexImage ReadIntelHex(std::string_view text);
