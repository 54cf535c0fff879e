// string_table.h - every user text of the program, in the user's language.
//
// The texts live in ui/strings/*.txt, one file per language; the build turns
// them into the portable table used here and into the Windows string table
// resource, so both always carry the same texts. The language is chosen once
// per process from the user interface language (Windows) or the locale
// (LC_ALL, LC_MESSAGES, LANG elsewhere) and falls back to English.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/string_ids.h"

namespace orb::ui {

// Windows language id of English, the reference and fallback table.
constexpr std::uint16_t kLangEnglish = 0x0409;

// The text of a string id in the process's language; empty for an id
// without text.
std::wstring LoadString(unsigned id);

// The text of a string id in the table of a given language id (as chosen by
// LanguageForLangid); empty for an unknown id.
std::wstring LoadStringForLanguage(unsigned id, std::uint16_t langid);

// The process's language as the id of one of the tables.
std::uint16_t CurrentLanguage();
// Overrides the process's language (tests, and the probe of the Windows
// dialogs); 0 returns to the user's own.
void SetCurrentLanguage(std::uint16_t langid);

// The table that serves a Windows language id: the table of that id, one
// that lists it, one of the same primary language, else English.
std::uint16_t LanguageForLangid(std::uint16_t langid);
// The table that serves a POSIX locale name such as "de_CH.UTF-8" or
// "zh_TW": language and territory, then the language alone, else English.
std::uint16_t LanguageForLocale(std::string_view locale);

// Every table's language id, the reference first (for tests).
std::size_t LanguageCount();
std::uint16_t LanguageAt(std::size_t index);

}  // namespace orb::ui
