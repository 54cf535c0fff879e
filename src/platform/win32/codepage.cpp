// codepage.cpp (Windows) - the active ANSI code page through the system
// converter.
#include "platform/codepage.h"

#include "platform/win32/windows_api.h"

#include <climits>
#include <new>

namespace orb::platform {

HRESULT WideToAnsi(std::wstring_view wide, std::string* out) {
  if (out == nullptr) return E_POINTER;
  if (wide.empty()) {
    out->clear();
    return S_OK;
  }
  if (wide.size() > INT_MAX) return E_INVALIDARG;
  const int inLength = static_cast<int>(wide.size());
  const int needed = WideCharToMultiByte(CP_ACP, 0, wide.data(), inLength, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return E_FAIL;
  try {
    std::string result(static_cast<std::size_t>(needed), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, wide.data(), inLength, result.data(), needed, nullptr, nullptr) != needed) {
      return E_FAIL;
    }
    out->swap(result);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT AnsiToWide(std::string_view ansi, std::wstring* out) {
  if (out == nullptr) return E_POINTER;
  if (ansi.empty()) {
    out->clear();
    return S_OK;
  }
  if (ansi.size() > INT_MAX) return E_INVALIDARG;
  const int inLength = static_cast<int>(ansi.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, ansi.data(), inLength, nullptr, 0);
  if (needed <= 0) return E_FAIL;
  try {
    std::wstring result(static_cast<std::size_t>(needed), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, ansi.data(), inLength, result.data(), needed) != needed) return E_FAIL;
    out->swap(result);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace orb::platform
