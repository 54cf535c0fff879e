// removable_volumes.cpp (POSIX) - the Linux drive table.
#include "platform/posix/removable_volumes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>

#include "base/wide_text.h"

namespace orb::platform::posix {

namespace fs = std::filesystem;
using orb::platform::UsbIdentity;
using orb::platform::UsbLookup;

namespace {

constexpr int kFirstLetter = 3;  // D

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

// mountinfo escapes space, tab, newline and backslash as \ooo.
std::string Unescape(std::string_view field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) && IsOctal(field[i + 2]) &&
        IsOctal(field[i + 3])) {
      out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0')));
      i += 3;
    } else {
      out.push_back(field[i]);
    }
  }
  return out;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

// First line of a small sysfs attribute, without its line end; empty when
// the file is missing.
std::string ReadAttribute(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  if (in) std::getline(in, line);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) {
    line.pop_back();
  }
  return line;
}

// sysfs writes USB identifiers as four hexadecimal digits.
bool ParseHex16(const std::string& text, unsigned long* value) {
  if (text.empty() || text.size() > 4) return false;
  unsigned long v = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    v = v * 16 + static_cast<unsigned long>(digit);
  }
  *value = v;
  return true;
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

// The nearest directory at or above `from` (and below sysRoot) that is a
// USB device: it carries idVendor and idProduct.
fs::path UsbDeviceAbove(const fs::path& from, const fs::path& sysRoot) {
  for (fs::path dir = from; !dir.empty() && dir != sysRoot && dir != dir.root_path();
       dir = dir.parent_path()) {
    if (Exists(dir / "idVendor") && Exists(dir / "idProduct")) return dir;
  }
  return {};
}

bool JudgeDevice(const std::string& deviceId, const fs::path& sysRoot, RemovableVolume* volume) {
  std::error_code ec;
  const fs::path block = fs::canonical(sysRoot / "dev" / "block" / deviceId, ec);
  if (ec) return false;
  const fs::path disk = Exists(block / "partition") ? block.parent_path() : block;
  const bool removable = ReadAttribute(disk / "removable") == "1";
  const fs::path usb = UsbDeviceAbove(disk, fs::canonical(sysRoot, ec));
  if (!removable && usb.empty()) return false;
  volume->deviceId = deviceId;
  volume->diskNode = "/dev/" + disk.filename().string();
  volume->usbDevice = usb.string();
  volume->type = ReadAttribute(disk / "device" / "type") == "5" ? DriveType::kCdRom
                                                                 : DriveType::kRemovable;
  return true;
}

}  // namespace

std::vector<RemovableVolume> FindRemovableVolumes(std::string_view mountinfo,
                                                  const std::string& sysRoot) {
  std::vector<RemovableVolume> volumes;
  std::vector<std::string> seen;  // device ids already judged
  std::size_t pos = 0;
  while (pos < mountinfo.size()) {
    std::size_t end = mountinfo.find('\n', pos);
    if (end == std::string_view::npos) end = mountinfo.size();
    const std::vector<std::string_view> f = SplitFields(mountinfo.substr(pos, end - pos));
    pos = end + 1;
    // id parent major:minor root mount-point options ...
    if (f.size() < 5 || f[3] != "/") continue;
    const std::string deviceId(f[2]);
    if (deviceId.rfind("0:", 0) == 0) continue;  // no block device behind it
    if (std::find(seen.begin(), seen.end(), deviceId) != seen.end()) continue;
    seen.push_back(deviceId);
    RemovableVolume volume;
    if (!JudgeDevice(deviceId, sysRoot, &volume)) continue;
    volume.mountPoint = Unescape(f[4]);
    volumes.push_back(std::move(volume));
  }
  return volumes;
}

UsbLookup ReadUsbIdentity(const std::string& usbDevice, UsbIdentity* identity) {
  if (usbDevice.empty()) return UsbLookup::kNotFound;
  const fs::path dir(usbDevice);
  const std::string vendor = ReadAttribute(dir / "idVendor");
  const std::string product = ReadAttribute(dir / "idProduct");
  unsigned long vendorId = 0;
  unsigned long productId = 0;
  if (!ParseHex16(vendor, &vendorId) || !ParseHex16(product, &productId)) return UsbLookup::kFailed;
  std::ifstream serialFile(dir / "serial");
  std::string serial;
  if (!serialFile || !std::getline(serialFile, serial)) return UsbLookup::kNotFound;
  identity->vendorId = static_cast<std::uint16_t>(vendorId);
  identity->productId = static_cast<std::uint16_t>(productId);
  identity->serialNumber = Utf8ToWide(serial);
  return UsbLookup::kFound;
}

void DriveLetterTable::Update(const std::vector<RemovableVolume>& volumes) {
  std::vector<const RemovableVolume*> sorted;
  for (const RemovableVolume& v : volumes) sorted.push_back(&v);
  std::stable_sort(sorted.begin(), sorted.end(), [](const RemovableVolume* a, const RemovableVolume* b) {
    return a->mountPoint < b->mountPoint;
  });
  for (Slot& slot : slots_) slot.present = false;
  std::vector<const RemovableVolume*> newcomers;
  for (const RemovableVolume* v : sorted) {
    const std::string key = v->deviceId + " " + v->mountPoint;
    Slot* kept = nullptr;
    for (Slot& slot : slots_) {
      if (slot.everUsed && !slot.present && slot.key == key) kept = &slot;
    }
    if (kept != nullptr) {
      kept->present = true;
      kept->volume = *v;
    } else {
      newcomers.push_back(v);
    }
  }
  for (const RemovableVolume* v : newcomers) {
    // Never-used letters first; only when they run out does a letter pass
    // to another volume.
    Slot* chosen = nullptr;
    for (int i = kFirstLetter; i < 26 && chosen == nullptr; ++i) {
      if (!slots_[i].everUsed) chosen = &slots_[i];
    }
    for (int i = kFirstLetter; i < 26 && chosen == nullptr; ++i) {
      if (!slots_[i].present) chosen = &slots_[i];
    }
    if (chosen == nullptr) break;  // more than 23 volumes: the rest get none
    chosen->everUsed = true;
    chosen->present = true;
    chosen->key = v->deviceId + " " + v->mountPoint;
    chosen->volume = *v;
  }
}

std::uint32_t DriveLetterTable::Mask() const {
  std::uint32_t mask = 0;
  for (int i = 0; i < 26; ++i) {
    if (slots_[i].present) mask |= 1u << i;
  }
  return mask;
}

const RemovableVolume* DriveLetterTable::Find(wchar_t letter) const {
  const int index = DriveIndex(letter);
  if (index < 0 || !slots_[index].present) return nullptr;
  return &slots_[index].volume;
}

namespace {

std::mutex g_tableLock;
DriveLetterTable g_table;

std::string ReadMountInfo() {
  std::ifstream in("/proc/self/mountinfo");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

bool FindSystemVolume(wchar_t letter, RemovableVolume* volume) {
  const std::vector<RemovableVolume> found = FindRemovableVolumes(ReadMountInfo(), "/sys");
  std::lock_guard<std::mutex> hold(g_tableLock);
  g_table.Update(found);
  const RemovableVolume* v = g_table.Find(letter);
  if (v == nullptr) return false;
  if (volume != nullptr) *volume = *v;
  return true;
}

std::uint32_t SystemVolumeMask() {
  const std::vector<RemovableVolume> found = FindRemovableVolumes(ReadMountInfo(), "/sys");
  std::lock_guard<std::mutex> hold(g_tableLock);
  g_table.Update(found);
  return g_table.Mask();
}

}  // namespace orb::platform::posix
