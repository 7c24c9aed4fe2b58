#pragma once
// Conversions between the text the operator types or reads and the bytes the ports move.
// All strings are 8-bit strings in the system code page; nothing here keeps state.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace transport {

// Converts hexadecimal text ("1B 40", "1B40", "1 2 3") to bytes. Blanks, carriage returns
// and line feeds between byte values are skipped; two digits in a row make one byte; a
// single digit makes one byte when a blank or the end of the text follows it.
// Returns the number of bytes stored, or -1 for any other character (a single digit
// followed by CR or LF included). `out` must hold (text.size() + 1) / 2 bytes.
int HexTextToBytes(std::string text, uint8_t* out);

// Splits "baud,parity,data,stop, flow" from the front. A four-field text such as
// "9600,N,8,1" leaves stop at 0 and puts its last value into flow. All five outputs are
// always written. Integer values are read like atoi but saturate at INT_MIN / INT_MAX.
void ParseSerialParams(std::string text, int& baud, char& parity, int& dataBits, int& stopBits, int& flow);

// The integer value of a text as atoi reads it: leading white space, an optional sign,
// decimal digits up to the first other character; 0 without digits. Saturates at INT_MIN
// and INT_MAX instead of overflowing.
int IntegerValue(const std::string& text);

// "a.b.c.d", first field first.
std::string IpAddressText(const std::array<int, 4>& fields);

// Every byte as two upper-case hex digits and one blank ("1B 40 "), as the receive view
// shows it; HexTextToBytes turns it back into the same bytes.
std::string BytesToHexText(const uint8_t* data, size_t n);

}  // namespace transport
