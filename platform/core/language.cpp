#include "platform/core/language.h"

#include <cstdlib>
#include <cstring>

namespace platform {

Language LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang)
{
    const char* chosen = nullptr;
    for (const char* candidate : {lcAll, lcMessages, lang}) {
        if (candidate && *candidate) {
            chosen = candidate;
            break;
        }
    }
    if (!chosen)
        return Language::English;
    // "zh", "zh_CN.UTF-8", "zh_TW@..." all name Chinese; "zhx" would not.
    if (std::strncmp(chosen, "zh", 2) == 0 && (chosen[2] == '\0' || chosen[2] == '_' || chosen[2] == '.' || chosen[2] == '@'))
        return Language::Chinese;
    return Language::English;
}

Language InterfaceLanguage()
{
    return LanguageFromLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

}  // namespace platform
