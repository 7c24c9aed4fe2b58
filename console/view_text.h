#pragma once
// How received data and texts of the string table appear in the console's multi-line areas.

#include <QString>

#include <string>

#include "platform/core/language.h"

// Line breaks of received text, character by character: a CR LF pair, a lone CR and a lone
// LF are one line break each, given to the areas as '\n'; so are the separators a text
// cursor turns into a new block (U+2029, U+FDD0, U+FDD1).
class ReceivedLineBreaks {
public:
    // The character to show for c, or 0 for none (the LF of a CR LF pair).
    char16_t Fold(char16_t c)
    {
        if (c == u'\n' && lastCr_) {
            lastCr_ = false;
            return 0;
        }
        lastCr_ = c == u'\r';
        if (c == u'\r' || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1)
            return u'\n';
        return c;
    }
    void Reset() { lastCr_ = false; }
    // After a text shown all at once.
    void SetLastWasCr(bool cr) { lastCr_ = cr; }

private:
    bool lastCr_ = false;
};

// Received bytes as text in the code page of the language (GB18030 under Chinese, UTF-8
// otherwise; see code_page.h): NUL bytes leave no trace, line breaks as above, an invalid
// byte shows as U+FFFD and an incomplete character at the end shows nothing yet.
QString ReceivedTextForView(const std::string& bytes, platform::Language language);
// Received bytes in hexadecimal form ("%02X " per byte), as kept.
QString ReceivedHexForView(const std::string& hex);
// A text with CR LF line ends (the help text) as the areas show it.
QString MultiLineForView(const QString& text);
