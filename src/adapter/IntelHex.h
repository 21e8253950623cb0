#pragma once
// Checks the text of an Intel HEX file, the format of the adapter firmware image.
#include <string>
#include <string_view>

struct HexVerdict {
    bool ok = false;
    std::string error; // empty when ok; otherwise one line naming the line number and the fault
};

// Accepts data (00), end-of-file (01) and extended address (02, 04) records, each with a
// correct byte count and checksum, and exactly one end-of-file record with only blank
// lines after it. CR LF and LF line ends are both accepted.
HexVerdict VerifyIntelHex(std::string_view text);
