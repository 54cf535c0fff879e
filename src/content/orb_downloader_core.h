// orb_downloader_core.h - COrbDownloaderCore, the common type of the store
// operations (the package download and the comic/video download). It adds
// nothing to the operation base; the plain-media download derives from the
// base directly.
#pragma once

#include "flow/downloader_base.h"

class COrbDownloaderCore : public CDownloaderBase {
 public:
  COrbDownloaderCore() = default;
  ~COrbDownloaderCore() override;
};
