// param_item_set.cpp - parsing and writing the param items of a package.
#include "package/param_item_set.h"

namespace InputOutputInterface::ParamItems {

ParamItemSet::ParamItemSet()
    : list_{&std::get<0>(items_), &std::get<1>(items_), &std::get<2>(items_), &std::get<3>(items_),
            &std::get<4>(items_), &std::get<5>(items_), &std::get<6>(items_), &std::get<7>(items_),
            &std::get<8>(items_), &std::get<9>(items_), &std::get<10>(items_)} {
  Reset();
}

void ParamItemSet::Reset() {
  for (Item* item : list_) item->Reset();
}

Item* ParamItemSet::Find(std::uint32_t id) {
  // Ids are 1..11 in list order.
  if (id == 0 || id > kItemCount) return nullptr;
  return list_[id - 1];
}

void ParamItemSet::Parse(const std::uint8_t* items, std::size_t limit, std::uint32_t count) {
  for (Item* item : list_) {
    item->Reset();
    item->MarkAbsent();
  }
  if (items == nullptr) return;
  orb::ByteReader in(items, limit);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (in.Remaining() < 8) return;
    const std::uint32_t id = orb::LoadBe32(in.Peek());
    const std::uint32_t size = orb::LoadBe32(in.Peek() + 4);
    Item* item = Find(id);
    const std::uint64_t body = item != nullptr ? item->Width() : size;
    if (body > in.Remaining() - 8) return;
    in.Skip(8);
    if (item != nullptr) {
      item->Read(in);
    } else {
      in.Skip(static_cast<std::size_t>(body));
    }
  }
}

std::size_t ParamItemSet::EncodedSize() const {
  std::size_t size = 0;
  for (const Item* item : list_) size += item->EncodedSize();
  return size;
}

std::uint32_t ParamItemSet::PresentCount() const {
  std::uint32_t count = 0;
  for (const Item* item : list_) count += item->IsPresent() ? 1 : 0;
  return count;
}

std::size_t ParamItemSet::Write(orb::ByteWriter& out, orb::platform::Sha1Digest* digest) const {
  std::size_t written = 0;
  for (const Item* item : list_) {
    if (!item->IsPresent()) continue;
    const std::size_t n = item->Write(out, digest);
    if (n == 0) return 0;
    written += n;
  }
  return written;
}

}  // namespace InputOutputInterface::ParamItems
