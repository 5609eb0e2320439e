#pragma once
// A block of bytes for a working store that is read and written at random places (walkers,
// stamps): a camera-size store spread over ordinary 4 KB pages needs far more page-table
// entries than the processor keeps, so a large block asks the system for 2 MB pages where it
// offers them on request. A small block keeps ordinary memory: a large page would cost more to
// clear than it saves. The bytes are not initialised.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace brumeleaf {

class LargePageBuffer {
 public:
  LargePageBuffer() = default;
  // Throws std::bad_alloc when the memory cannot be had.
  explicit LargePageBuffer(std::size_t size);

  std::uint8_t* Data() { return bytes_.get(); }
  const std::uint8_t* Data() const { return bytes_.get(); }

 private:
  struct Free {
    void operator()(std::uint8_t* p) const;
  };
  std::unique_ptr<std::uint8_t[], Free> bytes_;
};

}  // namespace brumeleaf
