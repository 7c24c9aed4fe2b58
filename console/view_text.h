#pragma once
// How received data and texts of the string table appear in the console's multi-line areas.

#include <QString>

#include <string>

// Received bytes as text: UTF-8 (the system's code page), NUL bytes leave no trace, CR LF
// is one line break.
QString ReceivedTextForView(const std::string& bytes);
// Received bytes in hexadecimal form ("%02X " per byte), as kept.
QString ReceivedHexForView(const std::string& hex);
// A text with CR LF line ends (the help text) as the areas show it.
QString MultiLineForView(const QString& text);
