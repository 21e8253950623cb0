#pragma once
// A USB transport that records the control transfers instead of needing an adapter.
#include "adapter/UsbTransport.h"

#include <algorithm>
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
// with the next scripted result (default: all bytes moved). The adapter sits on bus 1,
// port 2 under `devices[0]`'s id; the CPU release (0x00 to 0xE600) turns it into the
// firmware device `reborn` at a new address, as a real adapter re-enumerates.
class FakeUsbTransport : public UsbTransport {
public:
    bool Open(const UsbMatch& match, std::string& error) override {
        openedMatches.push_back(match);
        open = false;
        if (openFailures > 0) {
            --openFailures;
            error = "USB adapter not found";
            return false;
        }
        const auto found = std::find_if(devices.begin(), devices.end(), [&](const UsbPlace& place) {
            const bool id = std::any_of(match.ids.begin(), match.ids.end(), [&](UsbId each) {
                return each.vendor == place.id.vendor && each.product == place.id.product;
            });
            const bool where = match.bus < 0 || (match.bus == place.bus && match.portPath == place.portPath);
            return id && where && place.address != match.excludedAddress;
        });
        if (found == devices.end()) {
            error = "USB adapter not found";
            return false;
        }
        opened = *found;
        open = true;
        return true;
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
        if (request == 0xA0 && value == 0xE600 && length == 1 && data[0] == 0x00)
            devices = {reborn};
        return result;
    }
    UsbPlace Opened() const override { return opened; }

    // Only the firmware-load transfers, in order.
    std::vector<SentTransfer> firmwareLoads() const {
        std::vector<SentTransfer> loads;
        std::copy_if(transfers.begin(), transfers.end(), std::back_inserter(loads),
                     [](const SentTransfer& t) { return t.request == 0xA0; });
        return loads;
    }

    bool open = false;
    int openFailures = 0; // the next N opens find no adapter
    std::vector<UsbPlace> devices{{{0x04B4, 0x8613}, 1, "2", 7}};
    UsbPlace reborn{{0x04B4, 0x5530}, 1, "2", 8};
    UsbPlace opened;
    std::vector<UsbMatch> openedMatches;
    std::vector<SentTransfer> transfers;
    std::deque<int> results;
    std::vector<uint8_t> reply{0x41};
};
