#include "console/code_page.h"

#include <QStringEncoder>

const char* CodePageName(platform::Language language)
{
    return language == platform::Language::Chinese ? "GB18030" : "UTF-8";
}

std::string ToCodePage(const QString& text, platform::Language language)
{
    QStringEncoder encoder(CodePageName(language));
    QByteArray bytes = encoder.encode(text);
    return std::string(bytes.constData(), size_t(bytes.size()));
}

QString FromCodePage(const std::string& bytes, platform::Language language)
{
    CodePageDecoder decoder(language);
    return decoder.Feed(bytes.data(), bytes.size());
}

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsUtf8Continuation(uint8_t b) { return (b & 0xC0) == 0x80; }

// The length of a UTF-8 sequence led by b, 0 for a byte that leads none.
int Utf8Length(uint8_t b)
{
    if (b >= 0xC2 && b <= 0xDF)
        return 2;
    if (b >= 0xE0 && b <= 0xEF)
        return 3;
    if (b >= 0xF0 && b <= 0xF4)
        return 4;
    return 0;
}

bool IsGbLead(uint8_t b) { return b >= 0x81 && b <= 0xFE; }
bool IsGbDigit(uint8_t b) { return b >= 0x30 && b <= 0x39; }

}  // namespace

CodePageDecoder::CodePageDecoder(platform::Language language)
    : gb18030_(language == platform::Language::Chinese), whole_(CodePageName(language))
{
}

// Whether byte completes, continues or breaks the pending sequence.
CodePageDecoder::Next CodePageDecoder::Classify(uint8_t byte) const
{
    const uint8_t lead = pending_[0];
    if (gb18030_) {
        switch (pendingCount_) {
        case 1:
            if ((byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE))
                return Next::Complete;
            return IsGbDigit(byte) ? Next::More : Next::Invalid;
        case 2:
            return IsGbLead(byte) ? Next::More : Next::Invalid;
        default:
            return IsGbDigit(byte) ? Next::Complete : Next::Invalid;
        }
    }
    if (!IsUtf8Continuation(byte))
        return Next::Invalid;
    if (pendingCount_ == 1) {
        // The second byte rules out overlong forms, surrogates and values past U+10FFFF.
        if ((lead == 0xE0 && byte < 0xA0) || (lead == 0xED && byte > 0x9F) || (lead == 0xF0 && byte < 0x90) ||
            (lead == 0xF4 && byte > 0x8F))
            return Next::Invalid;
    }
    return pendingCount_ + 1 == Utf8Length(lead) ? Next::Complete : Next::More;
}

// A byte with nothing pending.
int CodePageDecoder::Start(uint8_t byte, char16_t* out)
{
    if (byte < 0x80) {
        out[0] = byte;
        return 1;
    }
    if (gb18030_ ? IsGbLead(byte) : Utf8Length(byte) > 0) {
        pending_[0] = byte;
        pendingCount_ = 1;
        return 0;
    }
    out[0] = kReplacement;
    return 1;
}

int CodePageDecoder::DecodePending(char16_t* out)
{
    const int count = pendingCount_;
    pendingCount_ = 0;
    if (gb18030_) {
        const QString c = whole_.decode(QByteArrayView(pending_, count));
        int n = 0;
        for (; n < int(c.size()) && n < 2; ++n)
            out[n] = c[n].unicode();
        if (n == 0)
            out[n++] = kReplacement;
        return n;
    }
    char32_t value = pending_[0] & (0x7F >> count);
    for (int i = 1; i < count; ++i)
        value = (value << 6) | (pending_[i] & 0x3F);
    if (value < 0x10000) {
        out[0] = char16_t(value);
        return 1;
    }
    out[0] = QChar::highSurrogate(value);
    out[1] = QChar::lowSurrogate(value);
    return 2;
}

int CodePageDecoder::FeedSlow(uint8_t byte, char16_t out[2])
{
    if (pendingCount_ == 0)
        return Start(byte, out);
    switch (Classify(byte)) {
    case Next::More:
        pending_[pendingCount_++] = byte;
        return 0;
    case Next::Complete:
        pending_[pendingCount_++] = byte;
        return DecodePending(out);
    case Next::Invalid:
        break;
    }
    // The unfinished sequence shows as one replacement character; the byte starts anew.
    pendingCount_ = 0;
    out[0] = kReplacement;
    return 1 + Start(byte, out + 1);
}

QString CodePageDecoder::Feed(const char* bytes, size_t count)
{
    QString text;
    text.reserve(qsizetype(count));
    char16_t units[2];
    for (size_t i = 0; i < count; ++i) {
        const int n = Feed(uint8_t(bytes[i]), units);
        text.append(reinterpret_cast<const QChar*>(units), n);
    }
    return text;
}
