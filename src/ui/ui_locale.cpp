#include "ui/ui_locale.h"

#include <algorithm>
#include <array>

namespace tessel::ui {
namespace {

constexpr std::uint16_t kSubLangDefault = 0x01;
constexpr std::uint16_t kLangIdEnglishUs = 0x0409;

constexpr std::uint16_t MakeLangId(std::uint16_t primary, std::uint16_t sub) {
    return static_cast<std::uint16_t>((sub << 10) | primary);
}

struct Language {
    std::string_view code;  // ISO 639-1, lower case
    std::uint16_t primary;  // Windows primary language id
    // The sublanguage when the locale names no territory (or one not listed below).
    std::uint16_t default_sub = kSubLangDefault;
};

// Windows primary language ids of the ISO 639 codes a desktop is likely to report.
constexpr std::array kLanguages = {
    Language{"ar", 0x01},       Language{"bg", 0x02},       Language{"ca", 0x03},
    Language{"zh", 0x04, 0x02},  // Chinese without a territory: the PRC's
    Language{"cs", 0x05},       Language{"da", 0x06},       Language{"de", 0x07},
    Language{"el", 0x08},       Language{"en", 0x09},       Language{"es", 0x0A},
    Language{"fi", 0x0B},       Language{"fr", 0x0C},       Language{"he", 0x0D},
    Language{"iw", 0x0D},  // the former code for Hebrew, still seen in old locales
    Language{"hu", 0x0E},       Language{"is", 0x0F},       Language{"it", 0x10},
    Language{"ja", 0x11},       Language{"ko", 0x12},       Language{"nl", 0x13},
    Language{"nb", 0x14},       Language{"nn", 0x14, 0x02}, Language{"no", 0x14},
    Language{"pl", 0x15},       Language{"pt", 0x16},       Language{"ro", 0x18},
    Language{"ru", 0x19},       Language{"hr", 0x1A},       Language{"sk", 0x1B},
    Language{"sq", 0x1C},       Language{"sv", 0x1D},       Language{"th", 0x1E},
    Language{"tr", 0x1F},       Language{"ur", 0x20},       Language{"id", 0x21},
    Language{"uk", 0x22},       Language{"be", 0x23},       Language{"sl", 0x24},
    Language{"et", 0x25},       Language{"lv", 0x26},       Language{"lt", 0x27},
    Language{"fa", 0x29},       Language{"vi", 0x2A},       Language{"hy", 0x2B},
    Language{"az", 0x2C},       Language{"eu", 0x2D},       Language{"mk", 0x2F},
    Language{"af", 0x36},       Language{"ka", 0x37},       Language{"hi", 0x39},
    Language{"ms", 0x3E},       Language{"kk", 0x3F},       Language{"sw", 0x41},
    Language{"bn", 0x45},       Language{"ta", 0x49},       Language{"gl", 0x56},
};

struct Territory {
    std::string_view language;
    std::string_view territory;  // ISO 3166 alpha-2, upper case
    std::uint16_t sub;
};

// The sublanguages that differ from the language's default.
constexpr std::array kTerritories = {
    // Chinese: Taiwan selects the traditional texts; every other region the simplified ones.
    Territory{"zh", "TW", 0x01}, Territory{"zh", "CN", 0x02}, Territory{"zh", "HK", 0x03},
    Territory{"zh", "SG", 0x04}, Territory{"zh", "MO", 0x05}, Territory{"en", "US", 0x01},
    Territory{"en", "GB", 0x02}, Territory{"en", "AU", 0x03}, Territory{"en", "CA", 0x04},
    Territory{"en", "NZ", 0x05}, Territory{"en", "IE", 0x06}, Territory{"en", "ZA", 0x07},
    Territory{"en", "IN", 0x10}, Territory{"en", "SG", 0x12}, Territory{"de", "CH", 0x02},
    Territory{"de", "AT", 0x03}, Territory{"de", "LU", 0x04}, Territory{"fr", "BE", 0x02},
    Territory{"fr", "CA", 0x03}, Territory{"fr", "CH", 0x04}, Territory{"fr", "LU", 0x05},
    Territory{"it", "CH", 0x02}, Territory{"nl", "BE", 0x02}, Territory{"pt", "PT", 0x02},
    Territory{"es", "MX", 0x02}, Territory{"es", "ES", 0x03}, Territory{"sv", "FI", 0x02},
    Territory{"ru", "MD", 0x02},
};

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::uint16_t LangIdFromPosixLocale(std::string_view locale) {
    // language[_territory][.codeset][@modifier]; a '-' between language and territory is
    // accepted too, as some desktops write BCP 47 tags into LANG.
    const std::size_t end = std::min(locale.find_first_of(".@"), locale.size());
    const std::string_view name = locale.substr(0, end);
    const std::size_t sep = std::min(name.find_first_of("_-"), name.size());

    std::string language(name.substr(0, sep));
    std::transform(language.begin(), language.end(), language.begin(), Lower);
    std::string territory(sep < name.size() ? name.substr(sep + 1) : std::string_view{});
    std::transform(territory.begin(), territory.end(), territory.begin(), Upper);

    const auto lang = std::find_if(kLanguages.begin(), kLanguages.end(),
                                   [&](const Language& l) { return l.code == language; });
    if (lang == kLanguages.end()) {
        return kLangIdEnglishUs;  // "C", "POSIX", "" and languages we do not know
    }
    std::uint16_t sub = lang->default_sub;
    for (const Territory& t : kTerritories) {
        if (t.language == language && t.territory == territory) {
            sub = t.sub;
            break;
        }
    }
    return MakeLangId(lang->primary, sub);
}

std::string MessagesLocale(const EnvLookup& getenv) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = getenv ? getenv(name) : nullptr;
        if (value != nullptr && value[0] != '\0') {
            return value;
        }
    }
    return {};
}

std::uint16_t UiLanguageFromEnvironment(const EnvLookup& getenv) {
    return LangIdFromPosixLocale(MessagesLocale(getenv));
}

}  // namespace tessel::ui
