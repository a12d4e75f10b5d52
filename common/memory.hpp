// Memory that is cheap to fault in: anonymous zero-filled mappings, large
// ones 2 MiB aligned and asked for huge pages, and a fixed-size array on top
// of them for trivially copyable types whose all-zero bytes are a value.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <type_traits>
#include <utility>


namespace wgt {

// The units that sizes are told in, the coarsest first, each with its
// places.
constexpr struct SizeUnit {
  double bytes;
  const char* format;
} kSizeUnits[] = {{double(1ull << 30), "%.2f GiB"}, {double(1ull << 20), "%.1f MiB"}, {1024.0, "%.0f KiB"}, {1.0, "%.0f bytes"}};

inline std::string SizeIn(const SizeUnit& unit, std::uint64_t bytes) {
  char text[48];
  std::snprintf(text, sizeof text, unit.format, double(bytes) / unit.bytes);
  return text;
}

// A size in the coarsest unit in which it reads at least 1: a table of a
// few MiB that could not be mapped is not "0.00 GiB".
inline std::string SizeText(std::uint64_t bytes) {
  for (const SizeUnit& unit : kSizeUnits)
    if (double(bytes) >= unit.bytes) return SizeIn(unit, bytes);
  return SizeIn(kSizeUnits[std::size(kSizeUnits) - 1], bytes);
}

constexpr std::size_t kHuge = std::size_t(2) << 20;  // a huge page

// Memory that cannot be had: thrown where a table cannot be mapped, and
// told by the program's frame, which ends the run.
struct OutOfMemory {
  std::string what;
};

// How a table will be touched: densely (huge pages fault in several times
// faster than 4 KiB ones) or sparsely (a huge page would bring 2 MiB in for
// every scattered entry).
enum class Touch { kDense, kSparse };

// Anonymous zero-filled memory. Untouched pages cost nothing, so capacities
// may be generous; large dense blocks are 2 MiB aligned and asked for huge
// pages.
inline void* MapZeroed(std::size_t bytes, Touch touch = Touch::kDense) {
  if (bytes == 0) return nullptr;
  if (bytes < kHuge || touch == Touch::kSparse) {
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) throw OutOfMemory{"out of memory (" + SizeText(bytes) + " wanted)"};
    return p;
  }
  std::size_t size = (bytes + kHuge - 1) & ~(kHuge - 1);
  void* raw = ::mmap(nullptr, size + kHuge, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (raw == MAP_FAILED) throw OutOfMemory{"out of memory (" + SizeText(bytes) + " wanted)"};
  auto start = reinterpret_cast<std::uintptr_t>(raw);
  auto aligned = (start + kHuge - 1) & ~std::uintptr_t(kHuge - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  ::munmap(reinterpret_cast<void*>(aligned + size), start + kHuge - aligned);
  ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

// The bytes that MapZeroed(bytes, touch) maps.
inline std::size_t MappedExtent(std::size_t bytes, Touch touch = Touch::kDense) {
  std::size_t unit = bytes < kHuge || touch == Touch::kSparse ? std::size_t(::sysconf(_SC_PAGESIZE)) : kHuge;
  return (bytes + unit - 1) / unit * unit;
}

inline void Unmap(void* p, std::size_t bytes, Touch touch = Touch::kDense) {
  if (p != nullptr) ::munmap(p, MappedExtent(bytes, touch));
}

// Fixed-size array of a type for which all-zero bytes are a valid value,
// zero-filled on creation; on huge pages unless it will be touched sparsely.
template <class T>
class HugeArray {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  HugeArray() = default;
  explicit HugeArray(std::size_t size, Touch touch = Touch::kDense)
      : data_(static_cast<T*>(MapZeroed(size * sizeof(T), touch))), size_(size), touch_(touch) {}
  HugeArray(HugeArray&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)), touch_(other.touch_) {}
  HugeArray& operator=(HugeArray&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(touch_, other.touch_);
    return *this;
  }
  ~HugeArray() { Unmap(data_, size_ * sizeof(T), touch_); }

  // Keeps the first `size` entries and hands back the pages past them.
  // Precondition: size <= this->size().
  HugeArray Shrink(std::size_t size) && {
    const std::size_t keep = MappedExtent(size * sizeof(T), touch_), had = MappedExtent(size_ * sizeof(T), touch_);
    T* data = std::exchange(data_, nullptr);
    if (had > keep) ::munmap(static_cast<char*>(static_cast<void*>(data)) + keep, had - keep);
    size_ = 0;
    return HugeArray(keep == 0 ? nullptr : data, size, touch_);
  }

  // Hands back the pages past the first `size` entries, which read as 0
  // when touched again. Precondition: size <= this->size().
  void Release(std::size_t size) {
    const std::size_t keep = MappedExtent(size * sizeof(T), Touch::kSparse), had = MappedExtent(size_ * sizeof(T), touch_);
    if (had > keep) ::madvise(static_cast<char*>(static_cast<void*>(data_)) + keep, had - keep, MADV_DONTNEED);
  }

  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  HugeArray(T* data, std::size_t size, Touch touch) : data_(data), size_(size), touch_(touch) {}

  T* data_ = nullptr;
  std::size_t size_ = 0;
  Touch touch_ = Touch::kDense;
};

}  // namespace wgt
