#pragma once
// The string table of the console in both interface languages, indexed by number.

#include <QString>

#include "platform/core/language.h"

namespace resources {

// Texts 157-193 (Chinese-only texts 192 and 193 in both languages), 188 (the send-file
// filter, the same in both) and 175 (the help text, lines joined by "\r\n"). Empty for a
// number the table does not have.
QString LoadString(int id, platform::Language language);

}  // namespace resources
