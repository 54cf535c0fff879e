// package_read_bench.cpp - how fast the package reader gets through a
// package, next to plain 64 KiB reads of the same file from the page cache.
//
//   orb_bench_package [SIZE_MIB] [RUNS]      (default 256 MiB, 5 runs)
//
// Writes two packages of SIZE_MIB in 16 files each into the temporary
// folder (one with a data digest, one without) and measures, median of
// RUNS:
//   read     plain reads of the package file, 64 KiB at a time;
//   walk     Open + NextEntry/ReadData with the installer's 64 KiB chunks
//            (deciphering every byte);
//   digest   Open of the package with a digest (SHA-1 over the data area,
//            then the entry table).
// MB/s is 10^6 bytes of data area per second of wall time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "package/package_reader.h"
#include "package_builder/package_builder.h"
#include "platform/codepage.h"
#include "platform/file.h"

namespace {

namespace pb = orb::package_builder;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::string Narrow(const std::filesystem::path& path) {
  std::string narrow;
  orb::platform::WideToAnsi(path.wstring(), &narrow);
  return narrow;
}

bool PlainRead(const std::filesystem::path& path, std::vector<char>& buffer) {
  namespace p = orb::platform;
  p::File file;
  if (file.Open(path.wstring(), p::file_access::kRead, p::file_share::kRead, p::file_disposition::kOpenExisting,
                p::file_attribute::kNormal) != 0) {
    return false;
  }
  std::uint32_t got = 0;
  do {
    if (file.Read(buffer.data(), static_cast<std::uint32_t>(buffer.size()), &got) != 0) return false;
  } while (got != 0);
  return true;
}

bool Walk(PackageReader& reader, const std::string& path, std::vector<char>& buffer) {
  PackageInfo info;
  if (reader.Open(path.c_str(), &info) != S_OK) return false;
  for (;;) {
    char name[PackageReader::kNameBufferSize];
    std::uint64_t size = 0;
    const HRESULT kind = reader.NextEntry(&size, name);
    if (kind == S_OK) return true;
    if (kind != ORB_S_PKG_FILE && kind != ORB_S_PKG_DIRECTORY) return false;
    for (; size > 0;) {
      std::uint32_t got = 0;
      if (reader.ReadData(buffer.data(), static_cast<std::uint32_t>(buffer.size()), &got) != S_OK) return false;
      size -= got;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 256;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  if (mib < 16 || runs < 1) {
    std::fprintf(stderr, "usage: orb_bench_package [SIZE_MIB >= 16] [RUNS]\n");
    return 2;
  }
  const auto dir = std::filesystem::temp_directory_path() / "orbdl-bench-package";
  std::filesystem::create_directories(dir);

  pb::PackageSpec spec;
  std::vector<pb::EntrySpec> files;
  const std::size_t fileSize = static_cast<std::size_t>((mib << 20) / 16);
  std::uint32_t seed = 12345;
  for (int i = 0; i < 16; ++i) {
    pb::EntrySpec e;
    e.name = "data/file" + std::to_string(i) + ".bin";
    e.data.resize(fileSize);
    for (char& c : e.data) {
      seed = seed * 1103515245u + 12345u;
      c = static_cast<char>(seed >> 24);
    }
    files.push_back(std::move(e));
  }
  spec.entries = pb::ContentEntries(std::move(files));
  const auto plainPath = dir / "plain.pkg";
  const auto digestPath = dir / "digest.pkg";
  std::string error;
  if (!pb::WritePackageFile(spec, plainPath, nullptr, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  spec.withDigest = true;
  if (!pb::WritePackageFile(spec, digestPath, nullptr, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  spec.entries.clear();

  std::vector<char> buffer(65536);
  PackageReader reader;
  std::vector<double> read, walk, digest;
  const double bytes = static_cast<double>(fileSize) * 16;
  for (int run = 0; run < runs; ++run) {
    auto t = Clock::now();
    if (!PlainRead(plainPath, buffer)) return 1;
    read.push_back(bytes / 1e6 / Seconds(t));

    t = Clock::now();
    if (!Walk(reader, Narrow(plainPath), buffer)) return 1;
    walk.push_back(bytes / 1e6 / Seconds(t));

    t = Clock::now();
    PackageInfo info;
    if (reader.Open(Narrow(digestPath).c_str(), &info) != S_OK) return 1;
    digest.push_back(bytes / 1e6 / Seconds(t));
    reader.Close();
  }
  std::printf("size_mib=%llu runs=%d read_mb_per_s=%.0f walk_mb_per_s=%.0f digest_mb_per_s=%.0f\n",
              static_cast<unsigned long long>(mib), runs, Median(read), Median(walk), Median(digest));
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  return 0;
}
