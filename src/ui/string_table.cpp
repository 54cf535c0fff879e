// string_table.cpp - lookup in the generated tables and the language choice.
#include "ui/string_table.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/locale.h"
#include "ui/string_table_data.h"

namespace orb::ui {
namespace {

using detail::kLanguageTableCount;
using detail::kLanguageTables;
using detail::LanguageTable;

constexpr std::uint16_t PrimaryLanguage(std::uint16_t langid) { return langid & 0x3FFu; }

const LanguageTable* FindTable(std::uint16_t langid) {
  for (std::size_t i = 0; i < kLanguageTableCount; ++i) {
    if (kLanguageTables[i].langid == langid) return &kLanguageTables[i];
  }
  return &kLanguageTables[0];
}

std::atomic<std::uint16_t> g_override{0};

std::uint16_t UserLanguage() {
  // Decided once: the user's language does not change during a run.
  static const std::uint16_t chosen = [] {
    std::uint16_t langid = 0;
    std::string locale;
    if (platform::UserInterfaceLangid(&langid)) return LanguageForLangid(langid);
    if (platform::UserLocaleName(&locale)) return LanguageForLocale(locale);
    return kLangEnglish;
  }();
  return chosen;
}

}  // namespace

std::uint16_t LanguageForLangid(std::uint16_t langid) {
  for (std::size_t i = 0; i < kLanguageTableCount; ++i) {
    const LanguageTable& t = kLanguageTables[i];
    if (t.langid == langid) return t.langid;
    if (std::find(t.langids, t.langids + t.langidCount, langid) != t.langids + t.langidCount) {
      return t.langid;
    }
  }
  for (std::size_t i = 0; i < kLanguageTableCount; ++i) {
    if (PrimaryLanguage(kLanguageTables[i].langid) == PrimaryLanguage(langid)) {
      return kLanguageTables[i].langid;
    }
  }
  return kLangEnglish;
}

std::uint16_t LanguageForLocale(std::string_view locale) {
  // "language[_TERRITORY][.codeset][@modifier]"
  const std::size_t end = locale.find_first_of(".@");
  if (end != std::string_view::npos) locale = locale.substr(0, end);
  const std::string_view language = locale.substr(0, locale.find('_'));
  for (std::string_view wanted : {locale, language}) {
    if (wanted.empty()) continue;
    for (std::size_t i = 0; i < kLanguageTableCount; ++i) {
      for (const char* const* name = kLanguageTables[i].locales; *name != nullptr; ++name) {
        if (wanted == *name) return kLanguageTables[i].langid;
      }
    }
  }
  return kLangEnglish;
}

std::uint16_t CurrentLanguage() {
  const std::uint16_t forced = g_override.load();
  return forced != 0 ? forced : UserLanguage();
}

void SetCurrentLanguage(std::uint16_t langid) {
  g_override.store(langid == 0 ? 0 : LanguageForLangid(langid));
}

std::wstring LoadStringForLanguage(unsigned id, std::uint16_t langid) {
  const LanguageTable* table = FindTable(langid);
  const auto* end = table->strings + table->stringCount;
  const auto* it = std::lower_bound(table->strings, end, id,
                                    [](const detail::StringEntry& e, unsigned want) { return e.id < want; });
  if (it == end || it->id != id) return std::wstring();
  return it->text;
}

std::wstring LoadString(unsigned id) { return LoadStringForLanguage(id, CurrentLanguage()); }

std::size_t LanguageCount() { return kLanguageTableCount; }

std::uint16_t LanguageAt(std::size_t index) {
  return index < kLanguageTableCount ? kLanguageTables[index].langid : 0;
}

}  // namespace orb::ui
