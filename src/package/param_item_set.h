// param_item_set.h - ParamItemSet, one instance of each param item and the
// list of them in id order; what a package's metadata parses into.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <tuple>

#include "package/param_items.h"

namespace InputOutputInterface::ParamItems {

class ParamItemSet {
 public:
  static constexpr std::size_t kItemCount = 11;

  // Every item starts at its default (Reset).
  ParamItemSet();
  ParamItemSet(const ParamItemSet&) = delete;
  ParamItemSet& operator=(const ParamItemSet&) = delete;

  void Reset();

  // Parses up to `count` encoded items from `items`, of which `limit` bytes
  // may be used. Every item is reset and then marked absent first, so
  // afterwards an item is present exactly when the bytes carried it and an
  // absent one keeps its default. Parsing stops, without failing, at the
  // first item that would run past the limit. Ids that no item has are
  // skipped by their size; a known id is read with its item's width
  // whatever its size field says, and the next item follows that width.
  void Parse(const std::uint8_t* items, std::size_t limit, std::uint32_t count);

  // The item of an id, or null.
  Item* Find(std::uint32_t id);
  const std::array<Item*, kItemCount>& Items() const { return list_; }

  template <typename T>
  T& Get() {
    return std::get<T>(items_);
  }
  template <typename T>
  const T& Get() const {
    return std::get<T>(items_);
  }

  // Bytes and number of the present items, and all of them written in id
  // order (feeding the digest when one is given); Write answers the bytes
  // written, 0 on failure.
  std::size_t EncodedSize() const;
  std::uint32_t PresentCount() const;
  std::size_t Write(orb::ByteWriter& out, orb::platform::Sha1Digest* digest) const;

 private:
  std::tuple<DistributionType, ContentType, PackageFlag, InstallSize, VersionInfo, TitleIDInfo, ContentInfo,
             GameVersion, MakeOptions, ReplaceName, PatchOption>
      items_;
  std::array<Item*, kItemCount> list_;
};

}  // namespace InputOutputInterface::ParamItems
