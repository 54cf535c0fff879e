// http_head_fuzz.cpp - response heads, chunk-size lines and Content-Length
// values of any bytes must parse without a crash or a hang, into values
// that keep the parser's promises.
#include <cstdlib>
#include <string_view>

#include "lmq/http_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  orb::lmq::ResponseHead head;
  orb::lmq::ParseHead(text, &head);
  if (head.status.find_first_of(" \r\n") != std::string::npos) std::abort();
  if (head.version.find_first_of(" \r\n") != std::string::npos) std::abort();
  for (const auto& [name, value] : head.headers) {
    for (char c : name) {
      if (c >= 'a' && c <= 'z') std::abort();
    }
    if (name.find(':') != std::string::npos || name.find("\r\n") != std::string::npos) std::abort();
    if (!value.empty() && value.back() == ' ') std::abort();
  }

  std::uint32_t number = 0;
  orb::lmq::ParseChunkSize(text, &number);
  if (orb::lmq::ParseContentLength(text, &number) && number == 0xFFFFFFFFu) std::abort();
  return 0;
}
