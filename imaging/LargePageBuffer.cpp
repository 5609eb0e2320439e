#include "imaging/LargePageBuffer.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace brumeleaf {

void LargePageBuffer::Free::operator()(std::uint8_t* p) const { std::free(p); }

LargePageBuffer::LargePageBuffer(std::size_t size) {
  constexpr std::size_t kLargePage = std::size_t{2} << 20;
  void* p = nullptr;
  if (size >= 4 * kLargePage) {
    const std::size_t rounded = (size + kLargePage - 1) / kLargePage * kLargePage;
    p = std::aligned_alloc(kLargePage, rounded);
#ifdef MADV_HUGEPAGE
    if (p) madvise(p, rounded, MADV_HUGEPAGE);
#endif
  } else {
    p = std::malloc(size == 0 ? 1 : size);
  }
  if (!p) throw std::bad_alloc();
  bytes_.reset(static_cast<std::uint8_t*>(p));
}

}  // namespace brumeleaf
