#include "views/ReadingCaptions.h"

#include <gtest/gtest.h>

TEST(ReadingCaptions, GaugeShowsTheUntrimmedNumberText) {
    const struct {
        float degrees;
        const char* caption;
    } rows[] = {{25, " 25°C"}, {33.75f, " 33.75°C"}, {-3.5f, "-3.5°C"}, {0.25f, " .25°C"}};
    for (const auto& row : rows)
        EXPECT_EQ(GaugeCaption(row.degrees), QString::fromUtf8(row.caption)) << row.degrees;
}

TEST(ReadingCaptions, TracesShowLocalTrimmedAndRemotesWithTwoDecimals) {
    const std::vector<TraceCaption> captions = TraceCaptions({25, 33.75f, 30.5f}, false);
    ASSERT_EQ(captions.size(), 3u);
    const char* texts[] = {"Local = 25°C", "Remote1 = 33.75°C", "Remote2 = 30.50°C"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(captions[i].trace, i + 1);
        EXPECT_EQ(captions[i].text, QString::fromUtf8(texts[i]));
    }
}

// Trace 2 samples Remote2 through the shared registers; its caption is the dedicated reading.
TEST(ReadingCaptions, Remote2SelectedCaptionsTraceTwoWithTheDedicatedReadingAndLeavesTraceThree) {
    const std::vector<TraceCaption> captions = TraceCaptions({-3, 29.25f, 30}, true);
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(captions[0].text, QString::fromUtf8("Local = -3°C"));
    EXPECT_EQ(captions[1].trace, 2);
    EXPECT_EQ(captions[1].text, QString::fromUtf8("Remote2 = 30.00°C"));
}
