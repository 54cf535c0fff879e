// auto_buffer.h - an owned, zero-filled heap array that reports allocation
// failure as E_OUTOFMEMORY instead of throwing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>

#include "base/status.h"

namespace orb {

// Lets tests make allocations fail: when set, it is asked before every
// AutoBuffer allocation and a true answer fails that allocation. Null (the
// default) in the program.
using AllocationFailureHook = bool (*)(std::size_t bytes);
void SetAllocationFailureHookForTesting(AllocationFailureHook hook);
bool ShouldFailAllocation(std::size_t bytes);

}  // namespace orb

// N is the integer type in which the owner counts elements.
template <typename T, typename N>
class AutoBuffer {
  static_assert(std::is_integral_v<N>, "AutoBuffer counts elements in an integer type");

 public:
  AutoBuffer() = default;
  virtual ~AutoBuffer() { Free(); }
  AutoBuffer(const AutoBuffer&) = delete;
  AutoBuffer& operator=(const AutoBuffer&) = delete;

  // Frees what is held, then allocates n zeroed elements.
  HRESULT Allocate(N n) {
    Free();
    if constexpr (std::is_signed_v<N>) {
      if (n < 0) return E_OUTOFMEMORY;
    }
    const auto count = static_cast<std::uint64_t>(n);
    if (count > UINT32_MAX || count > SIZE_MAX / sizeof(T)) return E_OUTOFMEMORY;
    const auto elements = static_cast<std::size_t>(count);
    if (orb::ShouldFailAllocation(elements * sizeof(T))) return E_OUTOFMEMORY;
    T* data = new (std::nothrow) T[elements]();
    if (data == nullptr) return E_OUTOFMEMORY;
    data_ = data;
    capacity_ = static_cast<std::uint32_t>(count);
    length_ = capacity_;
    return S_OK;
  }

  void Free() {
    delete[] data_;
    data_ = nullptr;
    capacity_ = 0;
    length_ = 0;
  }

  T* Data() { return data_; }
  const T* Data() const { return data_; }
  N Capacity() const { return static_cast<N>(capacity_); }
  N Length() const { return static_cast<N>(length_); }
  void SetLength(N length) { length_ = static_cast<std::uint32_t>(length); }

 private:
  T* data_ = nullptr;
  std::uint32_t capacity_ = 0;
  std::uint32_t length_ = 0;
};
