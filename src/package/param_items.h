// param_items.h - the eleven concrete param items. They differ only in id,
// width and default; each sets its default in Reset. Present after Reset:
// all but TitleIDInfo, ReplaceName and PatchOption.
#pragma once

#include "package/param_item.h"

namespace InputOutputInterface::ParamItems {

namespace tag = DataFormat::Package::Param;

class DistributionType : public TItem<tag::distribution_type> {
 public:
  void Reset() override {
    SetDefault(true);
    SetNumber(2);
  }
};

// Decides the install folder and whether the content suits the handheld.
class ContentType : public TItem<tag::content_type> {
 public:
  void Reset() override {
    SetDefault(true);
    SetNumber(4);
  }
};

class PackageFlag : public TItem<tag::package_flag> {
 public:
  void Reset() override {
    SetDefault(true);
    SetNumber(0x0C);  // bits 2 and 3
  }
};

class InstallSize : public TItem<tag::install_size> {
 public:
  void Reset() override { SetDefault(true); }
};

class VersionInfo : public TItem<tag::version_info> {
 public:
  void Reset() override {
    SetDefault(true);
    SetNumber(0x20080000u);  // bytes 20 08 00 00
  }
};

class TitleIDInfo : public TItem<tag::titleid_info> {
 public:
  void Reset() override { SetDefault(false); }
};

class ContentInfo : public TItem<tag::content_info> {
 public:
  void Reset() override { SetDefault(true); }
};

class GameVersion : public TItem<tag::game_version> {
 public:
  void Reset() override { SetDefault(true); }
};

class MakeOptions : public TItem<tag::make_options> {
 public:
  void Reset() override { SetDefault(true); }
};

class ReplaceName : public TItem<tag::replace_name> {
 public:
  void Reset() override { SetDefault(false); }
};

class PatchOption : public TItem<tag::patch_option> {
 public:
  void Reset() override { SetDefault(false); }
};

}  // namespace InputOutputInterface::ParamItems
