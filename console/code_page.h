#pragma once
// The system code page of the console: GB18030 (a superset of GBK) under a Chinese
// interface, UTF-8 otherwise. Typed text goes to the printer in it and received text is
// shown decoded from it; files and test pages go out as their bytes.

#include <QString>
#include <QStringDecoder>

#include <cstdint>
#include <string>

#include "platform/core/language.h"

const char* CodePageName(platform::Language language);

// Typed text as the bytes the printer gets.
std::string ToCodePage(const QString& text, platform::Language language);
// Bytes kept in the code page as text, all at once (an invalid byte shows as U+FFFD).
QString FromCodePage(const std::string& bytes, platform::Language language);

// Decodes received bytes piece by piece: a character split across pieces appears once it
// is complete, and a byte that cannot go on with the bytes before it turns them into one
// U+FFFD and is then read afresh. The sequences are checked here rather than by a stateful
// QStringDecoder, which drops an ASCII byte that arrives in a call of its own after an
// unfinished sequence; only whole characters of GB18030 are handed to Qt.
class CodePageDecoder {
public:
    explicit CodePageDecoder(platform::Language language);
    // The UTF-16 units one more byte completes (none while a character is unfinished, at
    // most 2) into out; returns how many.
    int Feed(uint8_t byte, char16_t out[2])
    {
        if (pendingCount_ == 0 && byte < 0x80) {
            out[0] = byte;
            return 1;
        }
        return FeedSlow(byte, out);
    }
    QString Feed(const char* bytes, size_t count);
    void Reset() { pendingCount_ = 0; }  // forget a partial character
    bool HasPartialCharacter() const { return pendingCount_ > 0; }

private:
    int FeedSlow(uint8_t byte, char16_t out[2]);
    enum class Next { Complete, More, Invalid };
    Next Classify(uint8_t byte) const;
    int Start(uint8_t byte, char16_t* out);
    int DecodePending(char16_t* out);

    bool gb18030_;
    uint8_t pending_[4] = {};
    int pendingCount_ = 0;
    QStringDecoder whole_;  // GB18030 characters, only ever given whole ones
};
