#include "views/RegMapRules.h"

#include <cmath>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {
struct TextCase {
    const char* why;
    QString typed;
    QString shown;
};
} // namespace

TEST(RegMapRules, DecimalBoxFollowsHexBox) {
    const TextCase cases[] = {
        {"either case", "ff", "255"},
        {"the read side's suffix ends the number", "55H", "85"},
        {"the initial text", "0H", "0"},
        {"no leading digit gives 0", "", "0"},
        {"a non-digit first gives 0", "xF", "0"},
        {"largest 32-bit number", "7FFFFFFF", "2147483647"},
        {"beyond 32 bits stays exact, so the write can refuse it", "80000000", "2147483648"},
        {"any number of digits", "FFFFFFFFFFFFFFFFFFFF", "1208925819614629174706175"},
        {"leading zeros", "000a", "10"},
        {"a limb of zeros inside", "DE0B6B3A7640000", "1000000000000000000"},
        {"2^128", "100000000000000000000000000000000", "340282366920938463463374607431768211456"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(DecimalBoxTextForHex(c.typed), c.shown);
    }
}

TEST(RegMapRules, DecimalBoxFollowsABoxFullOfHexDigits) {
    // 16^n - 1: its decimal form has floor(n * log10(16)) + 1 digits and ends in 5 (n >= 1).
    const int n = 32767; // the most a text box holds
    const QString shown = DecimalBoxTextForHex(QString(n, 'F'));
    EXPECT_EQ(shown.size(), static_cast<int>(std::floor(n * std::log10(16.0))) + 1);
    EXPECT_TRUE(shown.endsWith("5"));
    EXPECT_FALSE(shown.startsWith("0"));
}

TEST(RegMapRules, HexBoxFollowsDecimalBox) {
    const TextCase cases[] = {
        {"a byte", "255", "FF"},
        {"no leading zeros", "5", "5"},
        {"a half goes to the even neighbour", "12.5", "C"},
        {"a half goes up to the even neighbour", "13.5", "E"},
        {"no number gives 0", "abc", "0"},
        {"negative numbers keep their sign", "-5", "-5"},
        {"largest 32-bit number", "2147483647", "7FFFFFFF"},
        {"beyond 32 bits has no hex text", "2147483648", ""},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(HexBoxTextForDecimal(c.typed), c.shown);
    }
}

TEST(RegMapRules, AddressBoxesAcceptRegisterAddressesOnly) {
    const struct {
        const char* why;
        QString typed;
        bool ok;
        int32_t address;
    } cases[] = {
        {"empty reads address 0", "", true, 0},
        {"the window's own suffix", "9h", true, 9},
        {"lower case", "1a", true, 0x1A},
        {"highest register", "FF", true, 0xFF},
        {"a non-digit first gives 0", "h", true, 0},
        {"one past the register space", "100", false, 0},
        {"the placeholder record's address", "3E8", false, 0},
        {"too many digits for 32 bits", "123456789", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const CheckedNumber checked = RegisterAddressOfText(c.typed, "write");
        EXPECT_EQ(checked.ok(), c.ok);
        if (c.ok)
            EXPECT_EQ(checked.value, c.address);
        else
            EXPECT_TRUE(checked.problem.startsWith("The write address \"" + c.typed + "\""));
    }
}

TEST(RegMapRules, WriteValueMustBeAByte) {
    const struct {
        const char* why;
        QString typed;
        bool ok;
        int32_t value;
    } cases[] = {
        {"lowest", "0", true, 0},
        {"highest", "255", true, 255},
        {"a half rounds to even", "254.5", true, 254},
        {"no number gives 0", "abc", true, 0},
        {"a half that rounds past a byte", "255.5", false, 0},
        {"one past a byte", "256", false, 0},
        {"negative", "-1", false, 0},
        {"beyond 32 bits", "99999999999", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const CheckedNumber checked = WriteValueOfText(c.typed);
        EXPECT_EQ(checked.ok(), c.ok);
        EXPECT_EQ(checked.value, c.value);
        EXPECT_EQ(checked.problem.contains("from 0 to 255"), !c.ok);
    }
}

TEST(RegMapRules, ReadSideTexts) {
    EXPECT_EQ(AddressCaption(5), "5h");
    EXPECT_EQ(AddressCaption(0), "0h");
    EXPECT_EQ(AddressCaption(0x3A), "3Ah");
    EXPECT_EQ(ValueCaption(85), "55H");
    EXPECT_EQ(ValueCaption(254), "FEH");
}

TEST(RegMapRules, BitNamesAreAlwaysEight) {
    EXPECT_EQ(BitNameFields("Msk:Mn/Sty: AL/TH:Res:Rm1/2:TmpR:MkR1:MkR2"),
              (QStringList{"Msk", "Mn/Sty", " AL/TH", "Res", "Rm1/2", "TmpR", "MkR1", "MkR2"}));
    EXPECT_EQ(BitNameFields(""), QStringList(8, QString()));
    EXPECT_EQ(NumberedBitNames(), (QStringList{"7", "6", "5", "4", "3", "2", "1", "0"}));
}

TEST(RegMapRules, ClickedBitGivesWholeByte) {
    const struct {
        const char* why;
        int shown;
        int clicked;
        int written;
    } cases[] = {
        {"set the top bit", 0x05, 7, 0x85},
        {"clear the lowest bit", 0x05, 0, 0x04},
        {"from all clear", 0x00, 3, 0x08},
        {"to all clear", 0x80, 7, 0x00},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        std::array<QString, 8> texts;
        for (int bit = 0; bit < 8; ++bit)
            texts[bit] = BitText(c.shown, bit);
        texts[c.clicked] = ToggledBitText(texts[c.clicked]);
        EXPECT_EQ(ByteOfBitTexts(texts), c.written);
    }
}

TEST(RegMapRules, BitCellsFillFrameBetweenMargins) {
    const double frameWidth = 4575;
    EXPECT_DOUBLE_EQ(BitCellOf(7, frameWidth).left, 100);
    const BitCell bit0 = BitCellOf(0, frameWidth);
    EXPECT_DOUBLE_EQ(bit0.left + bit0.width, frameWidth - 100);
    for (int bit = 0; bit < 7; ++bit) {
        SCOPED_TRACE(bit);
        const BitCell higher = BitCellOf(bit + 1, frameWidth);
        EXPECT_DOUBLE_EQ(higher.left + higher.width, BitCellOf(bit, frameWidth).left);
    }
    EXPECT_DOUBLE_EQ(CentredLeft({1000, 500}, 135), 1182.5);
}
