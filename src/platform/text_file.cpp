// text_file.cpp - the portable half of TextFile.
#include "platform/text_file.h"

namespace orb::platform {

TextFile::~TextFile() { Close(); }

void TextFile::Close() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  ended_ = false;
}

bool TextFile::ReadLine(std::size_t maxBytes, std::string* line) {
  line->clear();
  if (file_ == nullptr) return false;
  while (line->size() < maxBytes) {
    const int c = ReadChar();
    if (c == EOF) break;
    line->push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !line->empty();
}

}  // namespace orb::platform
