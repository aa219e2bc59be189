#include "platform/base/userlocale.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr LANGID EnglishUnitedStates = 0x0409;

struct LocaleLanguage {
    const char* name; // language, or language_TERRITORY
    LANGID id;
};

// A territory of its own first; the language alone gives its main territory.
constexpr LocaleLanguage Languages[] = {
    {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004}, {"zh_CN", 0x0804}, {"zh", 0x0804},
    {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_US", 0x0409}, {"en", 0x0409},
    {"es_MX", 0x080A}, {"es_ES", 0x0C0A}, {"es", 0x0C0A},     {"pt_PT", 0x0816}, {"pt_BR", 0x0416},
    {"pt", 0x0416},    {"ko", 0x0412},    {"ja", 0x0411},     {"ru", 0x0419},    {"de", 0x0407},
    {"fr", 0x040C},    {"it", 0x0410},
};

const char* UserLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') {
            return value;
        }
    }
    return nullptr;
}

} // namespace

LANGID LangIdFromLocaleName(const std::string& locale) {
    // "ko_KR.UTF-8@variant": the part before the code set and modifier.
    const std::string name = locale.substr(0, locale.find_first_of(".@"));
    const std::string language = name.substr(0, name.find('_'));
    for (const LocaleLanguage& entry : Languages) {
        if (name == entry.name) {
            return entry.id;
        }
    }
    for (const LocaleLanguage& entry : Languages) {
        if (language == entry.name) {
            return entry.id;
        }
    }
    return 0;
}

LANGID GetUserDefaultLangID() {
    const char* locale = UserLocaleName();
    const LANGID id = locale != nullptr ? LangIdFromLocaleName(locale) : 0;
    return id != 0 ? id : EnglishUnitedStates;
}
