#pragma once
// A plain text file per local calendar day ("2024-03-05.txt") in the current directory, to
// which callers append lines. Nothing stays open between calls.

#include <string>

namespace transport {

// Appends `text` to the file of today's local date (platform::Now()), creating it when
// missing. Each line feed is stored as carriage return and line feed, as a text-mode
// write would; nothing else is added. Returns 1 when the whole text was appended, 0 when
// the file could not be opened or written.
int WriteDailyLog(std::string text);

}  // namespace transport
