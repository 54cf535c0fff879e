// http_parse.h - the pure text rules of the HTTP engine: the response head,
// chunk-size lines and Content-Length values. Kept apart from the sockets so
// that they can be tested and fuzzed on their own.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace orb::lmq {

struct ResponseHead {
  std::string version;
  std::string status;
  std::string reason;
  // Upper-cased name -> value; a repeated name keeps its last value.
  std::map<std::string, std::string> headers;

  void Clear();
};

// Parses a head that ends with its blank line. Lenient by design: whatever
// cannot be read is left empty, nothing fails.
//
// Quirk kept on purpose: spaces, CRs and LFs after the status code are
// skipped before the reason phrase is read, so a status code followed by a
// space and a line end takes the next line as its reason phrase.
void ParseHead(std::string_view text, ResponseHead* out);

// Leading hexadecimal digits of a chunk-size line (after blanks); extensions
// are ignored and a line without digits gives 0. False when the size does
// not fit in 32 bits.
bool ParseChunkSize(std::string_view line, std::uint32_t* size);

// Leading decimal digits (after blanks, an optional "+"); no digits give 0.
// False when the value does not fit below 0xFFFFFFFF, the engine's marker for
// "until the connection closes".
bool ParseContentLength(std::string_view text, std::uint32_t* length);

}  // namespace orb::lmq
