// package_file_fuzz.cpp - a whole package file through Open, NextEntry and
// ReadData, as the installer walks it.
//
// The input is a package with its data area in the clear: the harness
// enciphers it (and refreshes a data digest that the input names), so that
// the fuzzer reaches the entry table and the names instead of stopping at
// bytes that decipher to noise. The names handed out must never leave the
// install folder, and a file entry delivers exactly its size.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "package/big_endian.h"
#include "package/package_cipher.h"
#include "package/package_format.h"
#include "package/package_key.h"
#include "package/package_reader.h"
#include "platform/crypto.h"

namespace {

namespace fmt = orb::package_format;

std::string TempPath() {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir ? dir : "/tmp") + "/orbdl-fuzz-" + std::to_string(getpid()) + ".pkg";
}

void Encipher(std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < fmt::kMainHeaderSize) return;
  const std::uint64_t dataOffset = orb::LoadBe64(bytes.data() + fmt::main_header::kDataOffset);
  if (dataOffset >= bytes.size()) return;
  orb::PackageCipher cipher;
  if (cipher.Init(orb::kPackageKey, bytes.data() + fmt::main_header::kCounterBlock) != S_OK) std::abort();
  const std::uint64_t dataSize = orb::LoadBe64(bytes.data() + fmt::main_header::kDataSize);
  const std::size_t area = static_cast<std::size_t>(bytes.size() - dataOffset);
  cipher.Apply(0, bytes.data() + dataOffset, area);

  if (bytes.size() < fmt::kExtendedHeaderOffset + fmt::kExtendedHeaderSize || dataSize > area) return;
  const std::uint32_t digestOffset =
      orb::LoadBe32(bytes.data() + fmt::kExtendedHeaderOffset + fmt::extended_header::kDigestOffset);
  if (digestOffset == 0 || digestOffset + std::uint64_t{fmt::kDigestSize} > dataOffset) return;
  orb::platform::Sha1Digest sha;
  sha.Start();
  sha.Update(bytes.data() + dataOffset, static_cast<std::size_t>(dataSize));
  sha.Finish(bytes.data() + digestOffset);
}

bool SafeName(const char* name) {
  const std::string n(name);
  if (!n.empty() && n[0] == '/') return false;
  if (n.find('\\') != std::string::npos) return false;
  std::size_t start = 0;
  while (start <= n.size()) {
    std::size_t end = n.find('/', start);
    if (end == std::string::npos) end = n.size();
    const std::string element = n.substr(start, end - start);
    if (element == "." || element == "..") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  static const std::string path = TempPath();
  static PackageReader reader;
  std::vector<std::uint8_t> bytes(data, data + size);
  Encipher(bytes);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);

  // Theme packages of some kinds are read without the prefix.
  reader.SetEntryPrefix(size % 2 == 0 ? PackageReader::kDefaultEntryPrefix : "");
  PackageInfo info;
  const HRESULT opened = reader.Open(path.c_str(), &info);
  // The open file stays readable; no input leaves a file behind.
  std::remove(path.c_str());
  if (opened != S_OK) {
    if (reader.IsOpen()) std::abort();
    return 0;
  }
  static std::vector<char> buffer(65536);
  std::uint32_t entries = 0;
  for (;;) {
    char name[PackageReader::kNameBufferSize];
    std::uint64_t entrySize = 0;
    const HRESULT kind = reader.NextEntry(&entrySize, name);
    if (kind != ORB_S_PKG_FILE && kind != ORB_S_PKG_DIRECTORY) {
      if (reader.IsOpen()) std::abort();  // the end and every failure close the file
      if (kind == S_OK && entries != info.entryCount) std::abort();
      break;
    }
    ++entries;
    if (std::strlen(name) >= sizeof(name) || !SafeName(name)) std::abort();
    if (kind == ORB_S_PKG_DIRECTORY) continue;
    for (std::uint64_t left = entrySize; left > 0;) {
      std::uint32_t got = 0;
      if (reader.ReadData(buffer.data(), static_cast<std::uint32_t>(buffer.size()), &got) != S_OK) {
        reader.Close();
        return 0;
      }
      if (got == 0 || got > left) std::abort();
      left -= got;
    }
  }
  return 0;
}
