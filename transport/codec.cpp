#include "transport/codec.h"

#include <climits>

namespace transport {
namespace {

// Value of a hexadecimal digit, or -1. Works on the unsigned byte so that characters of
// the double-byte code page (lead bytes >= 0x80) are plain errors.
int HexDigit(char ch)
{
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool IsHexSeparator(char c) { return c == ' ' || c == '\r' || c == '\n'; }

// The whitespace set atoi skips in the C locale, tested on the unsigned byte.
bool IsAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Cuts the next comma-separated field off the front of `rest`. Without a comma (or with
// nothing left) the field is empty and `rest` stays whole.
std::string CutField(std::string& rest)
{
    size_t comma = rest.find(',');
    if (rest.empty() || comma == std::string::npos)
        return {};
    std::string field = rest.substr(0, comma);
    rest.erase(0, comma + 1);
    return field;
}

}  // namespace

int IntegerValue(const std::string& s)
{
    size_t i = 0;
    while (i < s.size() && IsAsciiSpace(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    // Accumulate towards the negative side, which has room for INT_MIN.
    long long value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        value = value * 10 - (s[i] - '0');
        if (value < INT_MIN) {
            value = INT_MIN - 1LL;  // keeps the magnitude bounded for the rest of the run
        }
    }
    if (negative)
        return value < INT_MIN ? INT_MIN : static_cast<int>(value);
    if (value < -static_cast<long long>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(-value);
}


int HexTextToBytes(std::string text, uint8_t* out)
{
    const size_t n = text.size();
    size_t i = 0;
    int count = 0;
    while (i < n) {
        char c = text[i];
        if (IsHexSeparator(c)) {
            ++i;
            continue;
        }
        ++i;
        if (i == n || text[i] == ' ') {
            int v = HexDigit(c);
            if (v < 0)
                return -1;
            out[count++] = static_cast<uint8_t>(v);
            ++i;  // past the blank (or past the end, which ends the loop)
            continue;
        }
        int high = HexDigit(c);
        int low = HexDigit(text[i]);
        if (high < 0 || low < 0)
            return -1;
        out[count++] = static_cast<uint8_t>(high * 16 + low);
        ++i;
    }
    return count;
}

void ParseSerialParams(std::string text, int& baud, char& parity, int& dataBits, int& stopBits, int& flow)
{
    std::string rest = std::move(text);
    std::string baudField = CutField(rest);
    std::string parityField = CutField(rest);
    std::string dataField = CutField(rest);
    std::string stopField = CutField(rest);

    baud = IntegerValue(baudField);
    parity = parityField.empty() ? '\0' : parityField[0];
    dataBits = IntegerValue(dataField);
    stopBits = IntegerValue(stopField);
    flow = IntegerValue(rest);
}

std::string IpAddressText(const std::array<int, 4>& fields)
{
    return std::to_string(fields[0]) + '.' + std::to_string(fields[1]) + '.' + std::to_string(fields[2]) + '.' +
           std::to_string(fields[3]);
}

std::string BytesToHexText(const uint8_t* data, size_t n)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(n * 3);
    for (size_t k = 0; k < n; ++k) {
        text += kDigits[data[k] >> 4];
        text += kDigits[data[k] & 0x0F];
        text += ' ';
    }
    return text;
}

}  // namespace transport
