#include "imaging/LargePageBuffer.h"
#include "imaging/PixelAllocator.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace brumeleaf {

namespace {
constexpr std::size_t kLargePage = std::size_t{2} << 20;
}  // namespace

void* large_pages::Allocate(std::size_t bytes) {
  const std::size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
  void* p = std::aligned_alloc(kLargePage, rounded);
  if (!p) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  madvise(p, rounded, MADV_HUGEPAGE);
#endif
  return p;
}

void large_pages::Free(void* p) noexcept { std::free(p); }

void LargePageBuffer::Free::operator()(std::uint8_t* p) const { std::free(p); }

LargePageBuffer::LargePageBuffer(std::size_t size) {
  void* p = size >= 4 * kLargePage ? large_pages::Allocate(size) : std::malloc(size == 0 ? 1 : size);
  if (!p) throw std::bad_alloc();
  bytes_.reset(static_cast<std::uint8_t*>(p));
}

}  // namespace brumeleaf
