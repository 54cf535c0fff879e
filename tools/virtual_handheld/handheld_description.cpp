// handheld_description.cpp - the description file's parser.
#include "virtual_handheld/handheld_description.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <utility>

#include "device/handheld_protocol.h"

namespace orb::virtual_handheld {

namespace hh = orb::device::handheld;
using orb::platform::DriveType;

const DriveDescription* HandheldDescription::Find(wchar_t letter) const {
  for (const DriveDescription& drive : drives) {
    if (drive.letter == letter) return &drive;
  }
  return nullptr;
}

namespace {

constexpr std::size_t kMaxValueBytes = 1023;

struct Value {
  std::string text;
  int line = 0;
};

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

std::string LineText(int line) { return "line " + std::to_string(line) + ": "; }

class Parser {
 public:
  Parser(HandheldDescription* description, std::string* error) : description_(description), error_(error) {}

  bool Parse(std::string_view text) {
    if (text.size() > kMaxDescriptionBytes) return Fail(0, "the file is larger than 1 MiB");
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    int line = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
      ++line;
      std::size_t end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      if (!ParseLine(Trim(text.substr(pos, end - pos)), line)) return false;
      pos = end + 1;
    }
    return FinishSection();
  }

 private:
  bool Fail(int line, const std::string& message) {
    *error_ = (line > 0 ? LineText(line) : std::string()) + message;
    return false;
  }

  bool ParseLine(std::string_view line, int number) {
    if (line.empty() || line.front() == ';' || line.front() == '#') return true;
    if (line.find('\0') != std::string_view::npos) return Fail(number, "NUL byte in the line");
    if (line.front() == '[') {
      if (line.back() != ']') return Fail(number, "a section header must end with ']'");
      if (!FinishSection()) return false;
      return StartSection(Trim(line.substr(1, line.size() - 2)), number);
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return Fail(number, "expected 'Key = value'");
    if (!inSection_) return Fail(number, "a key before the first [Drive X] section");
    const std::string key = Lower(Trim(line.substr(0, equals)));
    std::string_view value = Trim(line.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (key.empty()) return Fail(number, "a key without a name");
    if (value.size() > kMaxValueBytes) return Fail(number, "the value is longer than 1023 bytes");
    if (!values_.emplace(key, Value{std::string(value), number}).second) {
      return Fail(number, "key '" + std::string(Trim(line.substr(0, equals))) + "' given twice in this section");
    }
    return true;
  }

  bool StartSection(std::string_view name, int number) {
    // "Drive K" or "Drive K:", any case.
    const std::string lower = Lower(name);
    std::string_view rest;
    if (lower.rfind("drive", 0) == 0) rest = Trim(std::string_view(name).substr(5));
    if (!rest.empty() && rest.back() == ':') rest.remove_suffix(1);
    if (lower.rfind("drive", 0) != 0 || rest.size() != 1 || !std::isalpha(static_cast<unsigned char>(rest[0]))) {
      return Fail(number, "unknown section [" + std::string(name) + "]; expected [Drive X]");
    }
    const wchar_t letter = static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(rest[0])));
    if (letter < L'C') return Fail(number, "drive letters run from C to Z");
    if (description_->Find(letter) != nullptr) {
      return Fail(number, std::string("drive ") + static_cast<char>(letter) + " described twice");
    }
    inSection_ = true;
    drive_ = DriveDescription();
    drive_.letter = letter;
    values_.clear();
    return true;
  }

  // Takes a key's value out of the section; false when absent.
  bool Take(const char* key, Value* value) {
    const auto it = values_.find(key);
    if (it == values_.end()) return false;
    *value = it->second;
    values_.erase(it);
    return true;
  }

  bool Choice(const char* key, std::initializer_list<const char*> names, int* chosen, bool* given) {
    Value v;
    *given = Take(key, &v);
    if (!*given) return true;
    const std::string lower = Lower(v.text);
    int i = 0;
    std::string list;
    for (const char* name : names) {
      if (lower == name) {
        *chosen = i;
        return true;
      }
      list += (i == 0 ? "" : ", ") + std::string(name);
      ++i;
    }
    return Fail(v.line, std::string(key) + " must be one of: " + list);
  }

  bool Boolean(const char* key, bool* out) {
    int chosen = 0;
    bool given = false;
    if (!Choice(key, {"no", "yes", "false", "true", "0", "1", "off", "on"}, &chosen, &given)) return false;
    if (given) *out = (chosen % 2) == 1;
    return true;
  }

  static bool ParseHexByte(std::string_view text, std::uint8_t* out) {
    if (text.substr(0, 2) == "0x" || text.substr(0, 2) == "0X") text.remove_prefix(2);
    if (text.empty() || text.size() > 2) return false;
    unsigned v = 0;
    for (char c : text) {
      const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                    : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                    : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                                                                : -1;
      if (d < 0) return false;
      v = v * 16 + static_cast<unsigned>(d);
    }
    *out = static_cast<std::uint8_t>(v);
    return true;
  }

  static bool ParseHex16(std::string_view text, std::uint16_t* out) {
    if (text.substr(0, 2) == "0x" || text.substr(0, 2) == "0X") text.remove_prefix(2);
    if (text.empty() || text.size() > 4) return false;
    std::uint8_t high = 0;
    std::uint8_t low = 0;
    const std::size_t split = text.size() > 2 ? text.size() - 2 : 0;
    if (split > 0 && !ParseHexByte(text.substr(0, split), &high)) return false;
    if (!ParseHexByte(text.substr(split), &low)) return false;
    *out = static_cast<std::uint16_t>(high << 8 | low);
    return true;
  }

  // Decimal bytes with an optional K, M, G or T (binary multiples).
  static bool ParseBytes(std::string_view text, std::uint64_t* out) {
    std::uint64_t multiplier = 1;
    if (!text.empty()) {
      switch (std::toupper(static_cast<unsigned char>(text.back()))) {
        case 'K': multiplier = 1ull << 10; break;
        case 'M': multiplier = 1ull << 20; break;
        case 'G': multiplier = 1ull << 30; break;
        case 'T': multiplier = 1ull << 40; break;
        default: break;
      }
      if (multiplier != 1) text = Trim(text.substr(0, text.size() - 1));
    }
    if (text.empty()) return false;
    std::uint64_t v = 0;
    for (char c : text) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return false;
      const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
      if (v > (UINT64_MAX - digit) / 10) return false;
      v = v * 10 + digit;
    }
    if (v > UINT64_MAX / multiplier) return false;
    *out = v * multiplier;
    return true;
  }

  static std::string Padded(std::string_view text, std::size_t width) {
    std::string out(text.substr(0, width));
    out.resize(width, ' ');
    return out;
  }

  bool FinishSection() {
    if (!inSection_) return true;
    inSection_ = false;
    Value v;
    if (Take("root", &v)) drive_.root = v.text;

    int chosen = 0;
    bool given = false;
    if (!Choice("type", {"removable", "fixed", "cdrom", "remote", "ramdisk"}, &chosen, &given)) return false;
    static const DriveType kTypes[] = {DriveType::kRemovable, DriveType::kFixed, DriveType::kCdRom,
                                       DriveType::kRemote, DriveType::kRamDisk};
    if (given) drive_.type = kTypes[chosen];

    if (!Choice("identity", {"card", "system", "titlecase", "other"}, &chosen, &given)) return false;
    if (given) drive_.identity = static_cast<Identity>(chosen);
    switch (drive_.identity) {
      case Identity::kCard:
        drive_.vendor = hh::kVendor;
        drive_.product = hh::kCardProduct;
        break;
      case Identity::kSystemStorage:
        drive_.vendor = hh::kVendor;
        drive_.product = hh::kSystemStorageProduct;
        break;
      case Identity::kTitleCase:
        drive_.vendor = hh::kTitleCaseVendor;
        drive_.product = hh::kTitleCaseProduct;
        break;
      case Identity::kOther:
        drive_.vendor = Padded("GENERIC", hh::kVendorLength);
        drive_.product = Padded("USB DISK", hh::kProductLength);
        break;
    }
    for (const char* key : {"vendor", "product"}) {
      if (!Take(key, &v)) continue;
      if (drive_.identity != Identity::kOther) {
        return Fail(v.line, std::string(key == std::string("vendor") ? "Vendor" : "Product") +
                                " is only for Identity = other");
      }
      if (key == std::string("vendor")) {
        drive_.vendor = Padded(v.text, hh::kVendorLength);
      } else {
        drive_.product = Padded(v.text, hh::kProductLength);
      }
    }
    drive_.revision = Padded("1.00", hh::kRevisionLength);
    if (Take("revision", &v)) drive_.revision = Padded(v.text, hh::kRevisionLength);

    if (!Choice("inquiry", {"ok", "fail"}, &chosen, &given)) return false;
    if (given) drive_.inquiryFails = chosen == 1;
    if (!Choice("modesense", {"ok", "fail"}, &chosen, &given)) return false;
    if (given) drive_.modeSenseFails = chosen == 1;

    if (Take("systemversion", &v)) {
      if (Lower(v.text) == "unreadable") {
        drive_.systemVersionReadable = false;
      } else if (v.text.size() >= hh::kSystemVersionLength) {
        return Fail(v.line, "SystemVersion is longer than 1023 bytes");
      } else {
        drive_.systemVersion = v.text;
      }
    }
    if (Take("productcode", &v)) {
      if (Lower(v.text) == "unreadable") {
        drive_.productCodeReadable = false;
      } else {
        std::string digits;
        for (char c : v.text) {
          if (c != ' ') digits.push_back(c);
        }
        if (digits.size() != 4 || !ParseHexByte(std::string_view(digits).substr(0, 2), &drive_.productCode[0]) ||
            !ParseHexByte(std::string_view(digits).substr(2, 2), &drive_.productCode[1])) {
          return Fail(v.line, "ProductCode must be two hexadecimal bytes, such as 01 0A");
        }
      }
    }
    if (Take("mediumtype", &v) && !ParseHexByte(v.text, &drive_.mediumType)) {
      return Fail(v.line, "MediumType must be one hexadecimal byte, such as 0x20");
    }
    if (!Boolean("locked", &drive_.locked)) return false;

    if (!Choice("usb", {"attached", "noserial", "unreadable"}, &chosen, &given)) return false;
    if (given) drive_.usb = static_cast<UsbPresence>(chosen);
    if (Take("usbvendor", &v) && !ParseHex16(v.text, &drive_.usbVendor)) {
      return Fail(v.line, "UsbVendor must be four hexadecimal digits, such as 7A11");
    }
    if (Take("usbproduct", &v) && !ParseHex16(v.text, &drive_.usbProduct)) {
      return Fail(v.line, "UsbProduct must be four hexadecimal digits, such as 0380");
    }
    if (Take("usbserial", &v)) {
      if (v.text.size() > 126) return Fail(v.line, "UsbSerial is longer than a USB string holds (126)");
      drive_.usbSerial = v.text;
    }

    Value capacity;
    Value freeBytes;
    const bool hasCapacity = Take("capacity", &capacity);
    const bool hasFree = Take("free", &freeBytes);
    if (hasCapacity && Lower(capacity.text) == "unreadable") {
      if (hasFree) return Fail(freeBytes.line, "Free makes no sense with Capacity = unreadable");
      drive_.space = SpaceSource::kUnreadable;
    } else if (hasCapacity || hasFree) {
      if (!hasCapacity || !hasFree) {
        return Fail(hasCapacity ? capacity.line : freeBytes.line, "give Capacity and Free together");
      }
      if (!ParseBytes(capacity.text, &drive_.capacity)) return Fail(capacity.line, "Capacity: a number of bytes");
      if (!ParseBytes(freeBytes.text, &drive_.freeBytes)) return Fail(freeBytes.line, "Free: a number of bytes");
      if (drive_.freeBytes > drive_.capacity) return Fail(freeBytes.line, "Free is larger than Capacity");
      drive_.space = SpaceSource::kGiven;
    }

    if (!values_.empty()) {
      const auto first = std::min_element(values_.begin(), values_.end(), [](const auto& a, const auto& b) {
        return a.second.line < b.second.line;
      });
      return Fail(first->second.line, "unknown key '" + first->first + "'");
    }
    description_->drives.push_back(std::move(drive_));
    return true;
  }

  HandheldDescription* description_;
  std::string* error_;
  bool inSection_ = false;
  DriveDescription drive_;
  std::map<std::string, Value> values_;
};

}  // namespace

bool ParseHandheldDescription(std::string_view text, HandheldDescription* description, std::string* error) {
  HandheldDescription parsed;
  std::string message;
  Parser parser(&parsed, &message);
  if (!parser.Parse(text)) {
    if (error != nullptr) *error = message;
    return false;
  }
  *description = std::move(parsed);
  return true;
}

}  // namespace orb::virtual_handheld
