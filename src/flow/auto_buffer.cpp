// auto_buffer.cpp - the allocation-failure hook of AutoBuffer.
#include "flow/auto_buffer.h"

#include <atomic>

namespace orb {
namespace {
std::atomic<AllocationFailureHook> g_failureHook{nullptr};
}  // namespace

void SetAllocationFailureHookForTesting(AllocationFailureHook hook) { g_failureHook.store(hook); }

bool ShouldFailAllocation(std::size_t bytes) {
  const AllocationFailureHook hook = g_failureHook.load(std::memory_order_relaxed);
  return hook != nullptr && hook(bytes);
}

}  // namespace orb
