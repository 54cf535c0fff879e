// dsf_reader.cpp - the control-file grammar.
#include "flow/dsf_reader.h"

#include <cstring>
#include <string_view>

#include "base/wide_text.h"
#include "flow/auto_buffer.h"
#include "platform/codepage.h"
#include "platform/text_file.h"

namespace {

struct Row {
  const char* section;
  const char* key;
  std::size_t bufferBytes;  // most bytes kept + 1
};

// Table order matters: the first matching row whose buffer is still empty
// takes a value.
constexpr Row kRows[CDsfReader::kSlotCount] = {
    {"Info", "EID", 5},      {"Info", "Desc", 1024},   {"Info", "CC", 1024},
    {"File", "C", 1024},     {"ORBPCDL", "LV", 1024},  {"ORBPCDL", "MV", 1024},
    {"ORBPCDL", "Info", 1024}, {"Info", "Name", 1024},
};

// The line as the C string it would be: bytes after a NUL do not count.
std::string_view AsCString(const std::string& line) {
  return std::string_view(line.c_str(), std::strlen(line.c_str()));
}

}  // namespace

HRESULT CDsfReader::Read(const wchar_t* path) {
  if (path == nullptr) return E_POINTER;

  std::string converted;
  if (FAILED(orb::platform::WideToAnsi(path, &converted))) return E_FAIL;
  AutoBuffer<char, int> narrowPath;
  HRESULT hr = narrowPath.Allocate(static_cast<int>(converted.size() + 1));
  if (FAILED(hr)) return hr;
  std::memcpy(narrowPath.Data(), converted.data(), converted.size());

  std::string buffers[kSlotCount];
  std::string section;  // empty: no valid header seen, nothing matches

  orb::platform::TextFile file;
  if (!file.Open(narrowPath.Data())) return ORB_E_NO_OPERATION;

  std::string piece;
  while (file.ReadLine(kLinePieceBytes, &piece)) {
    const std::string_view line = AsCString(piece);
    if (line.empty() || line[0] == '\n' || line[0] == '\r' || line[0] == ';') continue;

    if (line[0] == '[') {
      const std::size_t close = line.find(']');
      if (close == std::string_view::npos || close - 1 > kMaxSectionBytes) {
        section.clear();
      } else {
        section.assign(line.substr(1, close - 1));
      }
      continue;
    }

    std::string_view text = line.substr(0, line.find_first_of("\r\n"));
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = text.substr(0, equals);
    const std::string_view value = text.substr(equals + 1);

    for (int slot = 0; slot < kSlotCount; ++slot) {
      const Row& row = kRows[slot];
      if (section != row.section || key != row.key || !buffers[slot].empty()) continue;
      buffers[slot].assign(value.substr(0, row.bufferBytes - 1));
      break;
    }
  }
  file.Close();

  for (int slot = 0; slot < kSlotCount; ++slot) {
    std::wstring wide;
    if (FAILED(orb::Utf8ToWide(buffers[slot], &wide))) return E_FAIL;
    if (wide.size() > kMaxValueChars) wide.resize(kMaxValueChars);
    values_[slot].swap(wide);
  }
  return S_OK;
}

const wchar_t* CDsfReader::GetValue(int slot) const {
  if (slot < 0 || slot >= kSlotCount || values_[slot].empty()) return nullptr;
  return values_[slot].c_str();
}
