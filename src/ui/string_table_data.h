// string_table_data.h - the layout of the generated string tables
// (string_table_data.cpp, made at build time from ui/strings/*.txt).
#pragma once

#include <cstddef>
#include <cstdint>

namespace orb::ui::detail {

struct StringEntry {
  unsigned id;
  const wchar_t* text;
};

struct LanguageTable {
  std::uint16_t langid;            // Windows language id of the table
  const std::uint16_t* langids;    // further ids that use it
  std::size_t langidCount;
  const char* const* locales;      // POSIX locale names, null-terminated list
  const StringEntry* strings;      // sorted by id
  std::size_t stringCount;
};

// The reference (English) table comes first.
extern const LanguageTable kLanguageTables[];
extern const std::size_t kLanguageTableCount;

}  // namespace orb::ui::detail
