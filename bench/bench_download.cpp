// bench_download.cpp - streams one file:// resource through the file
// downloader and reports its throughput and the process's peak memory.
//
//   orb_bench_download storage SOURCE TARGET-DIR   into a drive storage on
//                                                   TARGET-DIR (flushed to
//                                                   the device at the end)
//   orb_bench_download local SOURCE TARGET-FILE    into a local file
//
// Prints one line: "bytes=N seconds=S mb_per_s=R peak_kib=K".
#include <chrono>
#include <cstdio>
#include <string>

#include "content/file_downloader.h"
#include "device/msc_storage.h"
#include "platform/drive_root.h"
#include "platform/file.h"
#include "platform/process.h"

namespace {

std::wstring FileUrl(const std::wstring& path) {
  std::wstring url = L"file://";
  if (path.empty() || path.front() != L'/') url.push_back(L'/');
  for (wchar_t c : path) {
    if (c == L'\\') {
      url.push_back(L'/');
    } else if (c == L' ') {
      url += L"%20";
    } else if (c == L'%') {
      url += L"%25";
    } else {
      url.push_back(c);
    }
  }
  return url;
}

}  // namespace

int main(int argc, char** argv) {
  const auto args = orb::platform::CommandLineArguments(argc, argv);
  if (args.size() != 4 || (args[1] != L"storage" && args[1] != L"local")) {
    std::fprintf(stderr, "usage: orb_bench_download storage|local SOURCE TARGET\n");
    return 2;
  }
  const std::wstring& source = args[2];
  const std::wstring& target = args[3];
  std::atomic<bool> cancel{false};
  std::atomic<std::int32_t> progress{0};
  std::atomic<std::uint32_t> bytes{0};
  std::atomic<std::uint32_t> chunks{0};

  const auto started = std::chrono::steady_clock::now();
  HRESULT hr = S_OK;
  CFileDownloader downloader;
  downloader.SetCancelFlag(&cancel);
  downloader.SetProgress(&progress, 10000);
  downloader.SetByteCounter(&bytes);
  downloader.SetChunkCounter(&chunks);
  if (args[1] == L"local") {
    hr = downloader.DownloadToFile(FileUrl(source).c_str(), target.c_str(), true);
  } else {
    orb::platform::MapDrive(L'B', target);
    CMSCStorage storage(L'B');
    CNetworkUtil front;
    hr = front.Open(FileUrl(source).c_str());
    if (SUCCEEDED(hr)) hr = downloader.DownloadToStorage(&front, &storage, L"\\bench.bin", true);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (FAILED(hr)) {
    std::fprintf(stderr, "download failed: 0x%08X\n", static_cast<unsigned>(hr));
    return 1;
  }
  std::uint64_t size = 0;
  orb::platform::File file;
  namespace p = orb::platform;
  if (file.Open(source, p::file_access::kRead, p::file_share::kRead, p::file_disposition::kOpenExisting, 0) == 0) {
    file.Size(&size);
  }
  std::printf("bytes=%llu seconds=%.3f mb_per_s=%.1f peak_kib=%llu\n", static_cast<unsigned long long>(size),
              seconds, static_cast<double>(size) / 1e6 / seconds,
              static_cast<unsigned long long>(orb::platform::PeakMemoryBytes() / 1024));
  return 0;
}
