#include "adapter/UsbAdapter.h"
#include "support/FakeUsbTransport.h"

#include <gtest/gtest.h>

namespace {

class UsbAdapterTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto fake = std::make_unique<FakeUsbTransport>();
        transport = fake.get();
        adapter = std::make_unique<UsbAdapter>(std::move(fake), UsbAdapterIds{});
        std::string error;
        ASSERT_TRUE(adapter->Open(error));
    }
    FakeUsbTransport* transport = nullptr;
    std::unique_ptr<UsbAdapter> adapter;
};

TEST_F(UsbAdapterTest, OpensTheAdapterUnderTheLoaderOrTheFirmwareIdAnywhereAndNamesIt) {
    ASSERT_EQ(transport->openedMatches.size(), 1u);
    const UsbMatch& match = transport->openedMatches[0];
    ASSERT_EQ(match.ids.size(), 2u);
    EXPECT_EQ(UsbIdText(match.ids[0]), "04b4:8613");
    EXPECT_EQ(UsbIdText(match.ids[1]), "04b4:5530");
    EXPECT_EQ(match.bus, -1);
    EXPECT_EQ(adapter->Description(), "USB adapter 04b4:8613 (bus 1, port 2, device 7)");
}

TEST_F(UsbAdapterTest, FailedRequestLeavesItsReasonForTheUser) {
    transport->results = {UsbTransport::kErrorNoDevice};
    uint8_t buffer[1] = {0};
    EXPECT_EQ(adapter->VendorIORequest(0xDE, 0x4C, 0xFE, 1, 1, buffer), -4);
    EXPECT_EQ(adapter->FailureDetail(),
              "request 0xDE to USB adapter 04b4:8613 (bus 1, port 2, device 7) failed: "
              "no device (the adapter left the bus)");
}

struct RequestCase {
    const char* name;
    int16_t request;
    int32_t value;
    int32_t index;
    int16_t direction;
    int16_t length;
    SentTransfer expected;
};

class UsbRequestCases : public UsbAdapterTest, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(UsbRequestCases, SentAsOneVendorControlTransfer) {
    const RequestCase& c = GetParam();
    uint8_t buffer[4] = {};
    EXPECT_EQ(adapter->VendorIORequest(c.request, c.value, c.index, c.direction, c.length, buffer), 0);
    ASSERT_EQ(transport->transfers.size(), 1u);
    const SentTransfer& sent = transport->transfers[0];
    EXPECT_EQ(sent.requestType, c.expected.requestType);
    EXPECT_EQ(sent.request, c.expected.request);
    EXPECT_EQ(sent.value, c.expected.value);
    EXPECT_EQ(sent.index, c.expected.index);
    EXPECT_EQ(sent.length, c.expected.length);
    EXPECT_EQ(sent.timeoutMs, 1000u);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, UsbRequestCases,
    ::testing::Values(
        RequestCase{"RegisterReadIsVendorIn", 0xDE, 0x4C, 0xFE, 1, 1, {0xC0, 0xDE, 0x4C, 0xFE, 1, 1000}},
        RequestCase{"PollIsVendorIn", 0xDC, 0x18, 0x02, 1, 1, {0xC0, 0xDC, 0x18, 0x02, 1, 1000}},
        RequestCase{"RegisterWriteIsVendorOutWithoutData",
                    0xDE,
                    0x4C,
                    0x5509,
                    0,
                    0,
                    {0x40, 0xDE, 0x4C, 0x5509, 0, 1000}},
        RequestCase{"BusSetUp", 0xDD, 0x30, 0x33, 0, 0, {0x40, 0xDD, 0x30, 0x33, 0, 1000}},
        // Data -5 to register 0x21: index -1247 keeps its low 16 bits, data byte 0xFB in bits 15..8.
        RequestCase{"NegativeWriteIndexKeepsItsLowSixteenBits",
                    0xDE,
                    0x4C,
                    -1247,
                    0,
                    0,
                    {0x40, 0xDE, 0x4C, 0xFB21, 0, 1000}},
        // A write has no data stage whatever length the caller passes.
        RequestCase{
            "OutRequestNeverCarriesData", 0xDE, 0x4C, 0x0109, 0, 1, {0x40, 0xDE, 0x4C, 0x0109, 0, 1000}},
        RequestCase{"ReadOfSeveralBytes", 0xDE, 0x4C, 0x00, 1, 3, {0xC0, 0xDE, 0x4C, 0x00, 3, 1000}}),
    [](const ::testing::TestParamInfo<RequestCase>& row) { return std::string(row.param.name); });

TEST_F(UsbAdapterTest, ReadByteLandsInTheFirstBufferByte) {
    transport->reply = {0x41};
    uint8_t buffer[1] = {0};
    EXPECT_EQ(adapter->VendorIORequest(0xDE, 0x4C, 0xFE, 1, 1, buffer), 0);
    EXPECT_EQ(buffer[0], 0x41);
}

struct StatusCase {
    const char* name;
    int16_t direction;
    int transferResult;
    int16_t status;
};

class UsbStatusCases : public UsbAdapterTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(UsbStatusCases, TransferResultGivesStatusAndFailedReadsLeaveTheBuffer) {
    const StatusCase& c = GetParam();
    transport->results = {c.transferResult};
    transport->reply = {0x41, 0x42};
    uint8_t buffer[2] = {0x5A, 0x5A};
    const int16_t length = c.direction == 1 ? 2 : 0;
    EXPECT_EQ(adapter->VendorIORequest(0xDE, 0x4C, 0xFE, c.direction, length, buffer), c.status);
    if (c.direction == 1 && c.status != 0) {
        EXPECT_EQ(buffer[0], 0x5A);
        EXPECT_EQ(buffer[1], 0x5A);
    }
}

// libusb errors are handed on as they are: negative, so never mistaken for success.
INSTANTIATE_TEST_SUITE_P(
    Results, UsbStatusCases,
    ::testing::Values(StatusCase{"ReadComplete", 1, 2, 0},
                      StatusCase{"ReadShort", 1, 1, UsbAdapter::kShortTransfer},
                      StatusCase{"ReadNothing", 1, 0, UsbAdapter::kShortTransfer},
                      StatusCase{"ReadIoError", 1, -1, -1}, StatusCase{"ReadNoDevice", 1, -4, -4},
                      StatusCase{"ReadTimeout", 1, -7, -7}, StatusCase{"ReadPipeStall", 1, -9, -9},
                      StatusCase{"ReadOverflow", 1, -8, -8}, StatusCase{"WriteComplete", 0, 0, 0},
                      StatusCase{"WriteTimeout", 0, -7, -7}, StatusCase{"WriteNoDevice", 0, -4, -4}),
    [](const ::testing::TestParamInfo<StatusCase>& row) { return std::string(row.param.name); });

struct BadRequestCase {
    const char* name;
    int16_t request;
    int16_t direction;
    int16_t length;
    bool nullBuffer;
};

class UsbBadRequestCases : public UsbAdapterTest, public ::testing::WithParamInterface<BadRequestCase> {};

TEST_P(UsbBadRequestCases, RefusedWithoutATransfer) {
    const BadRequestCase& c = GetParam();
    uint8_t buffer[1] = {0x5A};
    EXPECT_EQ(adapter->VendorIORequest(c.request, 0x4C, 0xFE, c.direction, c.length,
                                       c.nullBuffer ? nullptr : buffer),
              UsbAdapter::kBadRequest);
    EXPECT_TRUE(transport->transfers.empty());
}

INSTANTIATE_TEST_SUITE_P(Requests, UsbBadRequestCases,
                         // bRequest is one byte: 0x1DE must not go out as 0xDE.
                         ::testing::Values(BadRequestCase{"RequestAboveOneByte", 0x1DE, 1, 1, false},
                                           BadRequestCase{"NegativeRequest", -34, 1, 1, false},
                                           BadRequestCase{"DirectionTwo", 0xDE, 2, 1, false},
                                           BadRequestCase{"NegativeLength", 0xDE, 1, -1, false},
                                           BadRequestCase{"ReadWithoutBuffer", 0xDE, 1, 1, true}),
                         [](const ::testing::TestParamInfo<BadRequestCase>& row) {
                             return std::string(row.param.name);
                         });

TEST_F(UsbAdapterTest, RequestWhileTheAdapterIsClosedFailsWithoutATransfer) {
    transport->Close();
    uint8_t buffer[1] = {0x5A};
    EXPECT_EQ(adapter->VendorIORequest(0xDE, 0x4C, 0xFE, 1, 1, buffer), UsbAdapter::kNotOpen);
    EXPECT_TRUE(transport->transfers.empty());
}

} // namespace
