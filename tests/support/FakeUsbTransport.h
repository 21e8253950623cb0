#pragma once
// A USB transport that records the control transfers instead of needing an adapter.
#include "adapter/UsbTransport.h"

#include <deque>
#include <string>
#include <vector>

struct SentTransfer {
    uint8_t requestType;
    uint8_t request;
    uint16_t value;
    uint16_t index;
    uint16_t length;
    unsigned timeoutMs;
    std::vector<uint8_t> data{}; // what an OUT transfer carried
};

// Records the control transfers; answers IN transfers with `reply`, and each transfer
// with the next scripted result (default: all bytes moved).
class FakeUsbTransport : public UsbTransport {
public:
    bool Open(UsbId id, std::string& error) override {
        openedIds.push_back(id);
        open = openFailures == 0;
        if (!open) {
            --openFailures;
            error = "USB adapter " + UsbIdText(id) + " not found";
        }
        return open;
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    int ControlTransfer(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
                        uint16_t length, unsigned timeoutMs) override {
        const bool in = requestType & 0x80;
        transfers.push_back({requestType, request, value, index, length, timeoutMs,
                             in ? std::vector<uint8_t>() : std::vector<uint8_t>(data, data + length)});
        int result = length;
        if (!results.empty()) {
            result = results.front();
            results.pop_front();
        }
        for (int i = 0; in && i < result; ++i)
            data[i] = reply[static_cast<size_t>(i) % reply.size()];
        return result;
    }
    std::string Location() const override { return open ? "bus 1, device 7" : ""; }

    bool open = false;
    int openFailures = 0; // the next N opens find no adapter
    std::vector<UsbId> openedIds;
    std::vector<SentTransfer> transfers;
    std::deque<int> results;
    std::vector<uint8_t> reply{0x41};
};
