#include "console/view_text.h"

QString ReceivedTextForView(const std::string& bytes)
{
    std::string shown;
    shown.reserve(bytes.size());
    for (char c : bytes) {
        if (c != '\0')
            shown.push_back(c);
    }
    return MultiLineForView(QString::fromUtf8(shown));
}

QString ReceivedHexForView(const std::string& hex) { return QString::fromLatin1(hex); }

QString MultiLineForView(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return shown;
}
