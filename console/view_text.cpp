#include "console/view_text.h"

#include "console/code_page.h"

QString ReceivedTextForView(const std::string& bytes, platform::Language language)
{
    std::string kept;
    kept.reserve(bytes.size());
    for (char c : bytes) {
        if (c != '\0')
            kept.push_back(c);
    }
    const QString decoded = FromCodePage(kept, language);
    QString shown;
    shown.reserve(decoded.size());
    ReceivedLineBreaks breaks;
    for (QChar c : decoded) {
        if (char16_t folded = breaks.Fold(c.unicode()))
            shown.append(QChar(folded));
    }
    return shown;
}

QString ReceivedHexForView(const std::string& hex) { return QString::fromLatin1(hex); }

QString MultiLineForView(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return shown;
}
