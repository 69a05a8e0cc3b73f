// Locale strings from the environment (LC_ALL, LC_MESSAGES, LANG), any bytes but zero, down
// to the language the texts are shown in.
//
// Input: a byte saying which of the three variables are set (bits 0-2), then their values
// separated by zero bytes.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "ui/ui_locale.h"
#include "ui/ui_text.h"

namespace {

using namespace tessel;

char SwapCase(char c) {
    if (c >= 'a' && c <= 'z') {
        return static_cast<char>(c - 'a' + 'A');
    }
    if (c >= 'A' && c <= 'Z') {
        return static_cast<char>(c - 'A' + 'a');
    }
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const std::uint8_t set = in.Byte();
    const auto rest = in.Rest();
    const std::string all(rest.begin(), rest.end());
    std::array<std::string, 3> values;
    std::size_t start = 0;
    for (std::string& value : values) {
        const std::size_t end = std::min(all.find('\0', start), all.size());
        if (start < all.size()) {
            value = all.substr(start, end - start);
        }
        start = end + 1;
    }
    constexpr std::array<const char*, 3> kNames = {"LC_ALL", "LC_MESSAGES", "LANG"};
    const auto lookup = [&](const char* name) -> const char* {
        for (std::size_t i = 0; i < kNames.size(); ++i) {
            if (std::string_view(name) == kNames[i] && (set >> i & 1) != 0) {
                return values[i].c_str();
            }
        }
        return nullptr;
    };

    const std::string locale = ui::MessagesLocale(lookup);
    const std::uint16_t langid = ui::UiLanguageFromEnvironment(lookup);
    FUZZ_CHECK(langid == ui::LangIdFromPosixLocale(locale));
    FUZZ_CHECK((langid & 0x3FF) != 0 && (langid >> 10) != 0);

    // The codeset and modifier do not matter, nor the letter case of language and territory.
    const std::string name = locale.substr(0, std::min(locale.find_first_of(".@"), locale.size()));
    FUZZ_CHECK(ui::LangIdFromPosixLocale(name) == langid);
    FUZZ_CHECK(ui::LangIdFromPosixLocale(name + ".UTF-8@euro") == langid);
    std::string swapped = name;
    std::transform(swapped.begin(), swapped.end(), swapped.begin(), SwapCase);
    FUZZ_CHECK(ui::LangIdFromPosixLocale(swapped) == langid);

    // Every language gives a block of complete texts.
    ui::SetUiLanguage(langid);
    const int block = ui::UiLanguageBlock();
    FUZZ_CHECK(block >= 0 && block < ui::kUiLanguageBlockCount);
    for (int id = 0; id < ui::kUiTextCount; ++id) {
        FUZZ_CHECK(!ui::GetUiText(id).empty());
    }
    return 0;
}
