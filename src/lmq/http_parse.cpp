// http_parse.cpp - response head, chunk-size and Content-Length rules.
#include "lmq/http_parse.h"

namespace orb::lmq {

namespace {

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

void TrimTrailingSpaces(std::string* text) {
  while (!text->empty() && text->back() == ' ') text->pop_back();
}

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  return at;
}

}  // namespace

void ResponseHead::Clear() {
  version.clear();
  status.clear();
  reason.clear();
  headers.clear();
}

void ParseHead(std::string_view text, ResponseHead* out) {
  out->Clear();
  std::size_t p = 0;
  const std::size_t n = text.size();
  auto isLineEnd = [&](std::size_t i) { return text[i] == '\r' || text[i] == '\n'; };

  // Status line: version, status code, reason phrase.
  const std::size_t versionStart = p;
  while (p < n && text[p] != ' ' && !isLineEnd(p)) ++p;
  out->version.assign(text.substr(versionStart, p - versionStart));
  while (p < n && text[p] == ' ') ++p;
  const std::size_t statusStart = p;
  while (p < n && text[p] != ' ' && !isLineEnd(p)) ++p;
  out->status.assign(text.substr(statusStart, p - statusStart));
  const bool reasonFollows = p < n && text[p] == ' ';
  while (p < n && (text[p] == ' ' || isLineEnd(p))) ++p;
  if (reasonFollows) {
    const std::size_t end = text.find("\r\n", p);
    const std::size_t stop = end == std::string_view::npos ? n : end;
    out->reason.assign(text.substr(p, stop - p));
    p = end == std::string_view::npos ? n : end + 2;
  }

  // Header lines up to the blank line; continuation lines start with a blank.
  std::string* last = nullptr;
  for (;;) {
    const std::size_t end = text.find("\r\n", p);
    if (end == std::string_view::npos || end == p) break;
    const std::string_view line = text.substr(p, end - p);
    p = end + 2;
    if ((line[0] == ' ' || line[0] == '\t') && last != nullptr) {
      *last += ' ';
      *last += line;
      TrimTrailingSpaces(last);
      continue;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) break;
    const std::size_t valueStart = SkipBlanks(line, colon + 1);
    std::string value(line.substr(valueStart));
    TrimTrailingSpaces(&value);
    std::string& slot = out->headers[Upper(line.substr(0, colon))];
    slot = std::move(value);
    last = &slot;
  }
}

bool ParseChunkSize(std::string_view line, std::uint32_t* size) {
  std::uint64_t value = 0;
  for (std::size_t i = SkipBlanks(line, 0); i < line.size(); ++i) {
    const char c = line[i];
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      break;
    }
    value = value * 16 + digit;
    if (value > 0xFFFFFFFFu) return false;
  }
  *size = static_cast<std::uint32_t>(value);
  return true;
}

bool ParseContentLength(std::string_view text, std::uint32_t* length) {
  std::size_t i = SkipBlanks(text, 0);
  if (i < text.size() && text[i] == '+') ++i;
  std::uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
    if (value >= 0xFFFFFFFFu) return false;
  }
  *length = static_cast<std::uint32_t>(value);
  return true;
}

}  // namespace orb::lmq
