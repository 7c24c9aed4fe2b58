#pragma once
// The interface language follows the C library's locale: Chinese when its language is zh.

#include <string>

namespace platform {

enum class Language { English, Chinese };

// Decides from the locale variables in their order of precedence: LC_ALL, LC_MESSAGES, LANG.
Language LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang);
Language InterfaceLanguage();  // from this process's environment

}  // namespace platform
