// package_param.h - the tag types of the param items that a package's
// metadata may carry: id, value width and the C++ type of the value.
// Values of width 4 and 8 are numbers; the others are raw bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace DataFormat::Package::Param {

template <std::uint32_t Id, std::size_t Width>
struct Tag {
  static constexpr std::uint32_t kId = Id;
  static constexpr std::size_t kWidth = Width;
};

struct distribution_type : Tag<1, 4> {};
struct content_type : Tag<2, 4> {};
struct package_flag : Tag<3, 4> {};
struct install_size : Tag<4, 8> {};
struct version_info : Tag<5, 4> {};
struct titleid_info : Tag<6, 12> {};
struct content_info : Tag<7, 24> {};
struct game_version : Tag<8, 8> {};
struct make_options : Tag<9, 8> {};
struct replace_name : Tag<10, 40> {};
struct patch_option : Tag<11, 8> {};

}  // namespace DataFormat::Package::Param
