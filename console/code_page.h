#pragma once
// The system code page of the console: GB18030 (a superset of GBK) under a Chinese
// interface, UTF-8 otherwise. Typed text goes to the printer in it and received text is
// shown decoded from it; files and test pages go out as their bytes.

#include <QString>
#include <QStringDecoder>

#include <memory>
#include <string>

#include "platform/core/language.h"

const char* CodePageName(platform::Language language);

// Typed text as the bytes the printer gets.
std::string ToCodePage(const QString& text, platform::Language language);
// Bytes kept in the code page as text, all at once (an invalid byte shows as U+FFFD).
QString FromCodePage(const std::string& bytes, platform::Language language);

// Decodes received bytes piece by piece: a character split across pieces appears once it
// is complete.
class CodePageDecoder {
public:
    explicit CodePageDecoder(platform::Language language);
    QString Feed(const char* bytes, size_t count);
    void Reset();  // forget a partial character (the view was cleared or rebuilt)

private:
    platform::Language language_;
    QStringDecoder decoder_;
};
