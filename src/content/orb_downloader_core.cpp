// orb_downloader_core.cpp
#include "content/orb_downloader_core.h"

COrbDownloaderCore::~COrbDownloaderCore() = default;
