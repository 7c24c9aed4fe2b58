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
    QStringDecoder decoder(CodePageName(language));
    return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

CodePageDecoder::CodePageDecoder(platform::Language language)
    : language_(language), decoder_(CodePageName(language))
{
}

QString CodePageDecoder::Feed(const char* bytes, size_t count)
{
    return decoder_.decode(QByteArrayView(bytes, qsizetype(count)));
}

void CodePageDecoder::Reset() { decoder_ = QStringDecoder(CodePageName(language_)); }
