// url_trans.h - CUrlTrans keeps one URL and adds a query to it, keeping
// what the URL already has: "http://h/p?a=1#top" with "product=0A1B"
// becomes "http://h/p?a=1&product=0A1B#top".
#pragma once

#include <cstddef>
#include <string>

#include "base/status.h"

class CUrlTrans {
 public:
  // Longest query and fragment part a URL may end up with, and the longest
  // URL a query may produce, in characters.
  static constexpr std::size_t kMaxExtraChars = 2048;
  static constexpr std::size_t kMaxUrlChars = 2084;

  CUrlTrans() = default;
  virtual ~CUrlTrans();

  // E_POINTER for null; otherwise the URL replaces the stored one.
  HRESULT SetUrl(const wchar_t* url);
  // Splits the stored URL with the platform's URL code (nothing decoded or
  // escaped), appends the query after "?" (or "&" when the URL has a query
  // already) and before any fragment, and puts the URL together again.
  // E_POINTER for a null or empty query; ORB_E_URL_NOT_SUPPORTED when the
  // URL does not split or compose, or query and fragment would exceed
  // kMaxExtraChars. The stored URL is unchanged on failure.
  HRESULT AddQuery(const wchar_t* query);
  // The stored URL's length in characters. E_POINTER for null.
  HRESULT GetLength(std::size_t* length) const;
  // Clears `capacity` characters of the buffer, copies as much of the URL as
  // fits and always ends the buffer with NUL in its last place. E_POINTER
  // for null; a capacity of 0 writes nothing.
  HRESULT CopyTo(wchar_t* buffer, std::size_t capacity) const;

  const std::wstring& Url() const { return url_; }

 private:
  std::wstring url_;
};
