#include <atomic>
#include <cstdlib>
#include <cstring>

#include "automation.h"
#include "runtime_stats.h"

namespace {

std::atomic<long> bstrs_allocated{0};
std::atomic<long> bstrs_freed{0};

// A BSTR's memory: a 32-bit byte length, the code units, a terminating zero.
constexpr std::size_t kPrefix = sizeof(std::uint32_t);

std::uint32_t* PrefixOf(BSTR text) {
  return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(text) - kPrefix);
}

}  // namespace

BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) {
    return nullptr;
  }
  UINT length = 0;
  while (text[length] != 0) {
    ++length;
  }
  return SysAllocStringLen(text, length);
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  // The byte length must fit the 32-bit prefix.
  if (length > (UINT{0xFFFFFFFFu} - kPrefix - sizeof(OLECHAR)) / sizeof(OLECHAR)) {
    return nullptr;
  }
  const std::size_t bytes = std::size_t{length} * sizeof(OLECHAR);
  auto* block = static_cast<char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
  if (block == nullptr) {
    return nullptr;
  }
  const auto byte_length = static_cast<std::uint32_t>(bytes);
  std::memcpy(block, &byte_length, kPrefix);
  auto* result = reinterpret_cast<BSTR>(block + kPrefix);
  if (text != nullptr) {
    std::memcpy(result, text, bytes);
  } else {
    std::memset(result, 0, bytes);
  }
  result[length] = 0;
  ++bstrs_allocated;
  return result;
}

void SysFreeString(BSTR text) {
  if (text == nullptr) {
    return;
  }
  ++bstrs_freed;
  std::free(PrefixOf(text));
}

UINT SysStringLen(BSTR text) {
  if (text == nullptr) {
    return 0;
  }
  std::uint32_t byte_length = 0;
  std::memcpy(&byte_length, PrefixOf(text), kPrefix);
  return byte_length / sizeof(OLECHAR);
}

namespace automation_runtime {

BstrCounts GetBstrCounts() {
  return {bstrs_allocated.load(), bstrs_freed.load()};
}

}  // namespace automation_runtime
