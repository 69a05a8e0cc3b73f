// The user's UI language on systems that express it as a POSIX locale (LC_ALL, LC_MESSAGES,
// LANG) rather than a Windows LANGID. Portable: the environment is read through a callback.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tessel::ui {

// The LANGID of a POSIX locale name of the form language[_territory][.codeset][@modifier],
// for example "zh_TW.UTF-8" -> 0x0404, "zh_CN" -> 0x0804, "tr_TR" -> 0x041F, "he_IL" ->
// 0x040D. A known language with an unknown or missing territory gets its default
// sublanguage ("zh" alone is Chinese (PRC)). "C", "POSIX", "" and unknown languages give
// English (United States), 0x0409.
std::uint16_t LangIdFromPosixLocale(std::string_view locale);

// A getenv-like lookup: the value of the named variable, or null when it is not set.
using EnvLookup = std::function<const char*(const char*)>;

// The locale that decides the language of messages, in the POSIX order: the first of LC_ALL,
// LC_MESSAGES and LANG that is set and not empty; "" when none is.
std::string MessagesLocale(const EnvLookup& getenv);

// LangIdFromPosixLocale(MessagesLocale(getenv)).
std::uint16_t UiLanguageFromEnvironment(const EnvLookup& getenv);

}  // namespace tessel::ui
