#include "transport/codec.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Runs the conversion into a buffer of exactly the documented minimum size, so that the
// sanitizer catches any write past it.
std::optional<Bytes> Convert(const std::string& text)
{
    const size_t capacity = (text.size() + 1) / 2;
    auto buffer = std::make_unique<uint8_t[]>(capacity);
    int n = transport::HexTextToBytes(text, buffer.get());
    if (n < 0)
        return std::nullopt;
    EXPECT_LE(static_cast<size_t>(n), capacity);
    return Bytes(buffer.get(), buffer.get() + n);
}

struct HexCase {
    const char* name;
    std::string text;
    std::optional<Bytes> expected;  // nullopt: -1
};

void PrintTo(const HexCase& c, std::ostream* os) { *os << c.name; }

class HexTextToBytesTest : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexTextToBytesTest, ConvertsOrRejects)
{
    const HexCase& c = GetParam();
    std::optional<Bytes> got = Convert(c.text);
    ASSERT_EQ(got.has_value(), c.expected.has_value()) << "text: \"" << c.text << "\"";
    if (got) {
        EXPECT_EQ(*got, *c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HexTextToBytesTest,
    ::testing::Values(
        HexCase{"BlankSeparated", "1D 56 42 00", Bytes{0x1D, 0x56, 0x42, 0x00}},
        HexCase{"Packed", "1B40", Bytes{0x1B, 0x40}},
        HexCase{"LowerCaseAndTrailingSingle", "1b7", Bytes{0x1B, 0x07}},
        HexCase{"SingleDigitsWithBlanks", "1 2 3", Bytes{0x01, 0x02, 0x03}},
        HexCase{"CrLfBetweenBytes", "1B\r\n40", Bytes{0x1B, 0x40}},
        HexCase{"AppendedLineEndWithoutBlank", "1B 400D0A", Bytes{0x1B, 0x40, 0x0D, 0x0A}},
        HexCase{"MixedCase", "fF aA Cd", Bytes{0xFF, 0xAA, 0xCD}},
        HexCase{"AllDigitValues", "0123456789ABCDEF", Bytes{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}},
        HexCase{"RunsOfSeparators", "  1B   \r\r\n\n 40  ", Bytes{0x1B, 0x40}},
        HexCase{"SingleDigitAlone", "a", Bytes{0x0A}},
        HexCase{"SingleDigitThenTrailingBlank", "F ", Bytes{0x0F}},
        HexCase{"SingleDigitBlankThenCr", "1 \r", Bytes{0x01}},
        HexCase{"PairAfterSingleDigit", "4 0D", Bytes{0x04, 0x0D}},
        HexCase{"TwoDigitsTakenWhateverFollows", "1B4", Bytes{0x1B, 0x04}},
        HexCase{"Empty", "", Bytes{}},
        HexCase{"SeparatorsOnly", " \r\n  \n", Bytes{}},
        HexCase{"SingleDigitThenCr", "1\r", std::nullopt},
        HexCase{"SingleDigitThenLf", "1B 4\n", std::nullopt},
        HexCase{"SingleDigitThenCrInMiddle", "1B 4\r\n40", std::nullopt},
        HexCase{"BadLowDigit", "1G", std::nullopt},
        HexCase{"BadSingleDigit", "G", std::nullopt},
        HexCase{"BadHighDigit", "G1", std::nullopt},
        HexCase{"BadSingleBeforeBlank", "1B G 40", std::nullopt},
        HexCase{"BadLastCharacter", "1BG", std::nullopt},
        HexCase{"TabBetweenBytes", "1B\t40", std::nullopt},
        HexCase{"TabOnly", "\t", std::nullopt},
        HexCase{"Prefix0x", "0x1B", std::nullopt},
        HexCase{"Comma", "1B,40", std::nullopt},
        HexCase{"EmbeddedNul", std::string("1B\0" "40", 5), std::nullopt},
        HexCase{"DoubleByteCharacter", "1B \xB0\xA1", std::nullopt},
        HexCase{"HighByteAfterDigit", "1\xC1", std::nullopt},
        HexCase{"HighByteAlone", "\x80", std::nullopt}),
    [](const ::testing::TestParamInfo<HexCase>& info) { return std::string(info.param.name); });

TEST(HexTextToBytesTest, KeepsBytesStoredBeforeAnError)
{
    uint8_t buffer[8] = {};
    EXPECT_EQ(transport::HexTextToBytes("1B 40 G", buffer), -1);
    EXPECT_EQ(buffer[0], 0x1B);
    EXPECT_EQ(buffer[1], 0x40);
}

TEST(BytesToHexTextTest, TwoUpperCaseDigitsAndABlankPerByte)
{
    const uint8_t data[] = {0x1B, 0x00, 0xFF, 0x0A, 0xab};
    EXPECT_EQ(transport::BytesToHexText(data, sizeof data), "1B 00 FF 0A AB ");
    EXPECT_EQ(transport::BytesToHexText(data, 1), "1B ");
    EXPECT_EQ(transport::BytesToHexText(nullptr, 0), "");
}

TEST(BytesToHexTextTest, RoundTripsEveryByteValue)
{
    Bytes all(256);
    for (int v = 0; v < 256; ++v)
        all[v] = static_cast<uint8_t>(v);
    const std::string shown = transport::BytesToHexText(all.data(), all.size());
    ASSERT_EQ(shown.size(), 3u * 256);

    std::optional<Bytes> back = Convert(shown);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);

    // The printer-command form drops the last blank and still converts back.
    std::optional<Bytes> trimmed = Convert(shown.substr(0, shown.size() - 1));
    ASSERT_TRUE(trimmed.has_value());
    EXPECT_EQ(*trimmed, all);
}

struct SerialCase {
    const char* name;
    std::string text;
    int baud;
    char parity;
    int data;
    int stop;
    int flow;
};

void PrintTo(const SerialCase& c, std::ostream* os) { *os << c.name; }

class ParseSerialParamsTest : public ::testing::TestWithParam<SerialCase> {};

TEST_P(ParseSerialParamsTest, SplitsFromTheFront)
{
    const SerialCase& c = GetParam();
    // Sentinels: every output must be written, also for texts that carry nothing.
    int baud = -7, data = -7, stop = -7, flow = -7;
    char parity = '?';
    transport::ParseSerialParams(c.text, baud, parity, data, stop, flow);
    EXPECT_EQ(baud, c.baud);
    EXPECT_EQ(parity, c.parity);
    EXPECT_EQ(data, c.data);
    EXPECT_EQ(stop, c.stop);
    EXPECT_EQ(flow, c.flow);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseSerialParamsTest,
    ::testing::Values(
        SerialCase{"FiveFields", "9600,N,8,1, 0", 9600, 'N', 8, 1, 0},
        SerialCase{"FiveFieldsOther", "19200,E,7,2, 2", 19200, 'E', 7, 2, 2},
        SerialCase{"FourFieldsPutStopIntoFlow", "9600,N,8,1", 9600, 'N', 8, 0, 1},
        SerialCase{"Empty", "", 0, '\0', 0, 0, 0},
        SerialCase{"SixthFieldIgnored", "19200,E,7,2, 2,1", 19200, 'E', 7, 2, 2},
        SerialCase{"SixthFieldWithoutBlank", "115200,O,8,2,1,9", 115200, 'O', 8, 2, 1},
        SerialCase{"NoCommaAllInFlow", "9600", 0, '\0', 0, 0, 9600},
        SerialCase{"TwoFields", "4800,M", 4800, '\0', 0, 0, 0},
        SerialCase{"CommasOnly", ",,,,", 0, '\0', 0, 0, 0},
        SerialCase{"ParityIsFirstCharacterOnly", "9600,Even,8,1, 0", 9600, 'E', 8, 1, 0},
        SerialCase{"ParityBlankKept", "9600, N,8,1, 0", 9600, ' ', 8, 1, 0},
        SerialCase{"LeadingWhiteSpaceAndSigns", " 2400,S,+7,\t-1, \t 3", 2400, 'S', 7, -1, 3},
        SerialCase{"DigitsStopAtOtherCharacter", "1e3,N,8x,1.5, 2abc", 1, 'N', 8, 1, 2},
        SerialCase{"NoDigitsGiveZero", "baud,N,x,-,+", 0, 'N', 0, 0, 0},
        SerialCase{"DoubleSignGivesZero", "+-5,N,--8,1, 0", 0, 'N', 0, 1, 0},
        SerialCase{"IntBounds", "2147483647,N,-2147483648,1, 0", INT_MAX, 'N', INT_MIN, 1, 0},
        SerialCase{"SaturatesJustPastBounds", "2147483648,N,-2147483649,1, 0", INT_MAX, 'N', INT_MIN, 1, 0},
        SerialCase{"SaturatesHugeDigitRuns", "99999999999999999999999999999999,N,8,1, -000000000000000000000099999999999999999999",
                   INT_MAX, 'N', 8, 1, INT_MIN},
        SerialCase{"LeadingZerosAreNotOverflow", "0000000000000000000000009600,N,8,1, 0", 9600, 'N', 8, 1, 0},
        SerialCase{"HighByteParity", "9600,\xA3,8,1, 0", 9600, '\xA3', 8, 1, 0}),
    [](const ::testing::TestParamInfo<SerialCase>& info) { return std::string(info.param.name); });

struct IpCase {
    std::array<int, 4> fields;
    const char* text;
};

void PrintTo(const IpCase& c, std::ostream* os) { *os << c.text; }

class IpAddressTextTest : public ::testing::TestWithParam<IpCase> {};

TEST_P(IpAddressTextTest, DottedFirstFieldFirst)
{
    EXPECT_EQ(transport::IpAddressText(GetParam().fields), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, IpAddressTextTest,
                         ::testing::Values(IpCase{{192, 168, 1, 100}, "192.168.1.100"},
                                           IpCase{{10, 0, 0, 1}, "10.0.0.1"},
                                           IpCase{{0, 0, 0, 0}, "0.0.0.0"},
                                           IpCase{{255, 255, 255, 255}, "255.255.255.255"},
                                           IpCase{{1, 22, 133, 4}, "1.22.133.4"}));

}  // namespace
