#pragma once
// Storage for pictures (and maps of them) that effects read at random places, stamps landing
// anywhere: a camera-size picture spread over ordinary 4 KB pages needs thousands of
// page-table entries, far more than the processor keeps, so nearly every stamp row starts with
// a walk of the page tables (two nested walks in a virtual machine). Such a block is aligned
// to 2 MB and the system is asked for 2 MB pages before the block is first touched. Every
// other picture keeps ordinary memory: fresh large pages cost more to clear on some systems
// than they save to a picture read row after row.

#include <cstddef>
#include <new>
#include <type_traits>

namespace brumeleaf {

enum class PixelPages { kOrdinary, kLarge };

namespace large_pages {
// From this size on, a block stored in large pages asks for them; smaller ones never do (the
// search bits of a 12-megapixel picture take 1.5 MB).
inline constexpr std::size_t kThreshold = std::size_t{1} << 20;
inline bool Used(PixelPages pages, std::size_t bytes) { return pages == PixelPages::kLarge && bytes >= kThreshold; }
void* Allocate(std::size_t bytes);  // a block in large pages; throws std::bad_alloc
void Free(void* p) noexcept;
}  // namespace large_pages

// An allocator that remembers which storage it hands out; it moves and swaps with its
// container's memory, so a block is always freed the way it was allocated.
template <typename T>
class PixelAllocator {
 public:
  using value_type = T;
  using propagate_on_container_move_assignment = std::true_type;
  using propagate_on_container_swap = std::true_type;
  using propagate_on_container_copy_assignment = std::false_type;
  using is_always_equal = std::false_type;

  PixelAllocator() noexcept = default;
  explicit PixelAllocator(PixelPages pages) noexcept : pages_(pages) {}
  template <typename U>
  PixelAllocator(const PixelAllocator<U>& other) noexcept : pages_(other.Pages()) {}

  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    const std::size_t bytes = n * sizeof(T);
    return static_cast<T*>(large_pages::Used(pages_, bytes) ? large_pages::Allocate(bytes) : ::operator new(bytes));
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (large_pages::Used(pages_, n * sizeof(T)))
      large_pages::Free(p);
    else
      ::operator delete(p);
  }

  // A copy of a container starts in ordinary pages.
  PixelAllocator select_on_container_copy_construction() const noexcept { return PixelAllocator(); }

  PixelPages Pages() const noexcept { return pages_; }
  template <typename U>
  bool operator==(const PixelAllocator<U>& other) const noexcept {
    return pages_ == other.Pages();
  }

 private:
  PixelPages pages_ = PixelPages::kOrdinary;
};

}  // namespace brumeleaf
