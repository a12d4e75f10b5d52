// Shared by both graph programs: the error exit, memory that is cheap to
// fault in, the integer reader, the report writer and the row-ordered graph
// table. Header-only: each program is one translation unit plus this file.
#pragma once

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace graphio {

// Set once by main; every message starts with it.
inline const char* program_name = "";

// One line on standard error, exit status 1. The output file was emptied at
// start-up and is only written once the result is complete, so no stale or
// partial report survives a failure.
[[noreturn]] inline void Die(const std::string& what) {
  std::string line = std::string(program_name) + ": " + what + "\n";
  if (::write(STDERR_FILENO, line.data(), line.size()) < 0) {
    // Nothing left to tell the user through.
  }
  std::exit(1);
}

[[noreturn]] inline void Die(const char* file, long line, const std::string& what) {
  Die(std::string(file) + ":" + std::to_string(line) + ": " + what);
}

inline std::string GiB(std::uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f GiB", double(bytes) / double(1ull << 30));
  return text;
}

inline std::uint64_t PhysicalMemory() {
#ifdef GRAPHIO_MEMORY_BUDGET  // fuzzing builds: a small machine, so that big tables are refused fast
  return GRAPHIO_MEMORY_BUDGET;
#else
  return std::uint64_t(::sysconf(_SC_PHYS_PAGES)) * std::uint64_t(::sysconf(_SC_PAGESIZE));
#endif
}

// Linux overcommits: a table larger than the machine would be granted and the
// process killed later, so tables sized from the input are checked up front.
inline void RequireMemory(const char* file, long line, const std::string& what,
                          std::uint64_t bytes) {
  if (bytes > PhysicalMemory())
    Die(file, line, what + " need " + GiB(bytes) + " of memory; this machine has " +
                        GiB(PhysicalMemory()));
}

constexpr std::size_t kHuge = std::size_t(2) << 20;  // a huge page

// Anonymous zero-filled memory. Untouched pages cost nothing, so capacities
// may be generous; large blocks are 2 MiB aligned and asked for huge pages,
// which fault in several times faster than 4 KiB ones.
inline void* MapZeroed(std::size_t bytes) {
  if (bytes == 0) return nullptr;
  if (bytes < kHuge) {
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) Die("out of memory (" + GiB(bytes) + " wanted)");
    return p;
  }
  std::size_t size = (bytes + kHuge - 1) & ~(kHuge - 1);
  void* raw = ::mmap(nullptr, size + kHuge, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (raw == MAP_FAILED) Die("out of memory (" + GiB(bytes) + " wanted)");
  auto start = reinterpret_cast<std::uintptr_t>(raw);
  auto aligned = (start + kHuge - 1) & ~std::uintptr_t(kHuge - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  ::munmap(reinterpret_cast<void*>(aligned + size), start + kHuge - aligned);
  ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

inline void Unmap(void* p, std::size_t bytes) {
  if (p == nullptr) return;
  ::munmap(p, bytes < kHuge ? bytes : (bytes + kHuge - 1) & ~(kHuge - 1));
}

// Fixed-size array of a type for which all-zero bytes are a valid value,
// zero-filled on creation.
template <class T>
class HugeArray {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  HugeArray() = default;
  explicit HugeArray(std::size_t size)
      : data_(static_cast<T*>(MapZeroed(size * sizeof(T)))), size_(size) {}
  HugeArray(HugeArray&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
  HugeArray& operator=(HugeArray&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    return *this;
  }
  ~HugeArray() { Unmap(data_, size_ * sizeof(T)); }

  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  T* data_ = nullptr;
  std::size_t size_ = 0;
};

// Reads whitespace-separated decimal integers in large blocks, accepting
// exactly what formatted stream extraction of an int accepts as a whole
// token: an optional sign, one or more digits, leading zeros, any run of
// space, tab, CR, LF, VT or FF between tokens. Knows the line of each token.
class IntReader {
 public:
  IntReader() = default;
  ~IntReader() {
    if (fd_ >= 0) ::close(fd_);
  }
  IntReader(const IntReader&) = delete;
  IntReader& operator=(const IntReader&) = delete;

  // Opens the file; a failure is reported by RequireOpen.
  void Open(const char* path) {
    path_ = path;
    fd_ = ::open(path, O_RDONLY | O_CLOEXEC);
    open_errno_ = fd_ < 0 ? errno : 0;
    buffer_.resize(kKeep + kBlock + 1);
    p_ = end_ = buffer_.data() + kKeep;
    *end_ = '\0';
  }

  // Dies if the file could not be opened: called once the output exists.
  void RequireOpen() const {
    if (fd_ < 0) Die(std::string(path_) + ": cannot open: " + std::strerror(open_errno_));
  }

  // Next integer of the input, or false at its end. Dies on a token that is
  // not an integer or does not fit 32 bits.
  bool Next(std::int32_t& value) {
    while (IsSpace(*p_)) line_ += *p_++ == '\n';
    // Fast path: a short token that ends well inside the buffer.
    if (end_ - p_ >= 32) {
      const char* c = p_;
      bool negative = *c == '-';
      c += negative || *c == '+';
      const char* digits = c;
      std::uint64_t magnitude = 0;
      while (IsDigit(*c)) magnitude = magnitude * 10 + unsigned(*c++ - '0');
      if (std::size_t(c - digits) - 1 < 10 && IsSpace(*c) && magnitude <= 2147483647u + negative) {
        token_line_ = line_;
        p_ = const_cast<char*>(c);
        value = std::int32_t(negative ? -std::int64_t(magnitude) : std::int64_t(magnitude));
        return true;
      }
    }
    return NextSlow(value);
  }

  // Line of the integer last returned by Next.
  long Line() const { return token_line_; }
  // Line of the last byte of the input, once Next has returned false.
  long EndLine() const { return line_ - (last_byte_ == '\n' && line_ > 1); }
  bool Empty() const { return bytes_read_ == 0; }

  [[noreturn]] void Fail(const std::string& what) const { Die(path_, token_line_, what); }
  [[noreturn]] void FailAtEnd(const std::string& what) const {
    if (Empty()) Die(std::string(path_) + ": file is empty");
    Die(path_, EndLine(), what);
  }

 private:
  static constexpr std::size_t kBlock = std::size_t(1) << 20;
  static constexpr std::size_t kKeep = 64;  // token text kept across a refill, for messages
  static constexpr std::uint64_t kBig = 1ull << 40;

  static bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
  static bool IsDigit(char c) { return unsigned(c - '0') < 10; }

  // The general case of Next: tokens of any length, across block
  // boundaries, at the end of the input, and every malformed token.
  [[gnu::noinline]] bool NextSlow(std::int32_t& value) {
    for (;;) {
      while (IsSpace(*p_)) line_ += *p_++ == '\n';
      if (p_ != end_) break;
      if (!Refill(nullptr)) return false;
    }
    token_line_ = line_;
    token_ = p_;
    token_cut_ = false;
    bool negative = false;
    if (*p_ == '+' || *p_ == '-') {
      negative = *p_++ == '-';
      if (p_ == end_) Refill(token_);
    }
    std::uint64_t magnitude = 0;
    std::size_t digits = 0;
    for (;;) {
      const char* start = p_;
      while (IsDigit(*p_)) magnitude = std::min<std::uint64_t>(magnitude * 10 + unsigned(*p_++ - '0'), kBig);
      digits += std::size_t(p_ - start);
      if (p_ != end_ || !Refill(token_)) break;
    }
    if (digits == 0 || (p_ != end_ && !IsSpace(*p_))) Fail(Token() + " is not an integer");
    if (magnitude > (negative ? 2147483648u : 2147483647u))
      Fail(Token() + " is out of range (-2147483648 to 2147483647)");
    value = std::int32_t(negative ? -std::int64_t(magnitude) : std::int64_t(magnitude));
    return true;
  }

  // Replaces the consumed buffer by the next block, keeping the start of a
  // token that runs across the boundary. The byte after the data is always a
  // NUL, which stops every scanning loop without a bounds check.
  bool Refill(const char* token) {
    if (fd_ < 0) return false;
    std::size_t kept = 0;
    if (token != nullptr) {
      kept = std::min<std::size_t>(std::size_t(end_ - token), kKeep);
      token_cut_ = token_cut_ || std::size_t(end_ - token) > kKeep;
      std::memmove(buffer_.data() + kKeep - kept, token, kept);
      token_ = buffer_.data() + kKeep - kept;
    }
    char* data = buffer_.data() + kKeep;
    ssize_t got;
    do got = ::read(fd_, data, kBlock);
    while (got < 0 && errno == EINTR);
    if (got < 0) Die(std::string(path_) + ": cannot read: " + std::strerror(errno));
    bytes_read_ += std::uint64_t(got);
    p_ = data;
    end_ = data + got;
    *end_ = '\0';
    if (got > 0) last_byte_ = end_[-1];
    return got > 0;
  }

  // The offending token as the user wrote it, shortened and made printable.
  std::string Token() const {
    std::string text = "'";
    const char* c = token_;
    for (int shown = 0; c != end_ && !IsSpace(*c) && shown < 24; ++c, ++shown) {
      unsigned char u = static_cast<unsigned char>(*c);
      if (u >= 0x20 && u < 0x7f && u != '\'' && u != '\\') {
        text += char(u);
      } else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", u);
        text += hex;
      }
    }
    if (token_cut_ || (c != end_ && !IsSpace(*c))) text += "...";
    return text + "'";
  }

  const char* path_ = "";
  int fd_ = -1;
  int open_errno_ = 0;
  std::vector<char> buffer_;
  char* p_ = nullptr;
  char* end_ = nullptr;
  const char* token_ = nullptr;
  bool token_cut_ = false;
  long line_ = 1;
  long token_line_ = 1;
  char last_byte_ = '\0';
  std::uint64_t bytes_read_ = 0;
};

// The report file: created or emptied when opened, written in large blocks,
// emptied again and reported if any write fails.
class ReportWriter {
 public:
  ReportWriter() = default;
  ~ReportWriter() {
    if (fd_ >= 0) ::close(fd_);
  }
  ReportWriter(const ReportWriter&) = delete;
  ReportWriter& operator=(const ReportWriter&) = delete;

  // Creates or empties the file; a failure is reported by RequireOpen.
  void Open(const char* path) {
    path_ = path;
    fd_ = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    open_errno_ = fd_ < 0 ? errno : 0;
  }

  void RequireOpen() const {
    if (fd_ < 0) Die(std::string(path_) + ": cannot create: " + std::strerror(open_errno_));
  }

  template <class Int>
  void Put(Int value) {
    if (buffer_.size() - used_ < 32) Flush();
    used_ = std::size_t(std::to_chars(buffer_.data() + used_, buffer_.data() + buffer_.size(), value).ptr -
                        buffer_.data());
  }
  void Put(char c) {
    if (used_ == buffer_.size()) Flush();
    buffer_[used_++] = c;
  }

  // Everything is in the file once this returns.
  void Finish() {
    Flush();
    int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) Fail(errno, -1);
  }

 private:
  void Flush() {
    std::size_t done = 0;
    while (done < used_) {
      ssize_t wrote = ::write(fd_, buffer_.data() + done, used_ - done);
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) Fail(wrote < 0 ? errno : ENOSPC, fd_);
      done += std::size_t(wrote);
    }
    used_ = 0;
  }

  [[noreturn]] void Fail(int error, int fd) const {
    if (fd >= 0 && ::ftruncate(fd, 0) != 0) {
      // A device such as /dev/full cannot be truncated and holds nothing.
    }
    Die(std::string(path_) + ": cannot write: " + std::strerror(error));
  }

  const char* path_ = "";
  int fd_ = -1;
  int open_errno_ = 0;
  std::vector<char> buffer_ = std::vector<char>(std::size_t(1) << 20);
  std::size_t used_ = 0;
};

// A distance table with 32-bit entries while every sum fits, which halves the
// memory a path search works through, else 64-bit ones. One of the two is
// filled.
struct DistanceTable {
  HugeArray<std::int32_t> narrow;
  HugeArray<std::int64_t> wide;
};

struct Arc {
  std::int32_t to;
  std::int32_t cost;
};

// Weighted adjacency table: row x lists the arcs leaving node x, in the order
// they were added. Rows are slices of one array (offsets plus entries).
class Graph {
 public:
  Graph() = default;
  Graph(HugeArray<std::uint32_t> offsets, HugeArray<Arc> arcs)
      : offsets_(std::move(offsets)), arcs_(std::move(arcs)) {}

  std::span<const Arc> Row(std::int32_t x) const {
    return {arcs_.data() + offsets_[std::size_t(x)], offsets_[std::size_t(x) + 1] - offsets_[std::size_t(x)]};
  }
  std::span<const Arc> operator[](std::int32_t x) const { return Row(x); }
  std::size_t ArcCount() const { return arcs_.size(); }

  // Hints for a caller that knows which rows it will scan next: first the
  // row's bounds, later (once those have arrived) the row itself.
  void PrefetchBounds(std::int32_t x) const { __builtin_prefetch(&offsets_[std::size_t(x)]); }
  void PrefetchRow(std::int32_t x) const { __builtin_prefetch(arcs_.data() + offsets_[std::size_t(x)]); }

 private:
  HugeArray<std::uint32_t> offsets_;
  HugeArray<Arc> arcs_;
};

// Collects arcs in input order and turns them into a Graph by a stable
// counting sort. Arcs wait in 64 KiB blocks, one chain per range of 65536
// source nodes; the table is then filled range by range, releasing each
// block once copied, so peak memory stays close to one copy of the arcs and
// every scatter lands in a small, cache-resident slice of the table.
// Nodes are 1..n; time O(n + arcs).
class GraphBuilder {
 public:
  GraphBuilder(std::int32_t n, std::uint64_t max_arcs) : n_(n), chains_((std::size_t(n) >> 16) + 1) {
    std::uint64_t blocks = max_arcs / kPerBlock + chains_.size() + 1;
    arena_blocks_ = std::min<std::uint64_t>(blocks, PhysicalMemory() / sizeof(Block));
    arena_ = static_cast<Block*>(MapZeroed(arena_blocks_ * sizeof(Block)));
  }
  // Appends the arc (to, cost) to row `from`. Precondition: 1 <= from <= n.
  void Add(std::int32_t from, std::int32_t to, std::int32_t cost) {
    Chain& chain = chains_[std::size_t(from) >> 16];
    if (chain.fill == kPerBlock) {
      chain.blocks.push_back(NewBlock());
      chain.fill = 0;
    }
    Block& block = *chain.blocks.back();
    block.source[chain.fill] = std::uint16_t(from);
    block.to[chain.fill] = to;
    block.cost[chain.fill] = cost;
    ++chain.fill;
  }

  Graph Build() && {
    // Degrees are counted chain by chain, where they fall in a small slice.
    HugeArray<std::uint32_t> offsets(std::size_t(n_) + 2);
    ForEachBlock(offsets, [&](std::uint32_t* slice, const Block& block, std::size_t count) {
      for (std::size_t i = 0; i < count; ++i) ++slice[block.source[i]];
    });
    std::uint64_t total = 0;
    for (std::size_t x = 0; x <= std::size_t(n_); ++x) total += std::exchange(offsets[x], std::uint32_t(total));
    if (total >= UINT32_MAX) Die("out of memory: too many edges");
    offsets[std::size_t(n_) + 1] = std::uint32_t(total);
    HugeArray<Arc> arcs(total);
    ForEachBlock(offsets, [&](std::uint32_t* next, const Block& block, std::size_t count) {
      for (std::size_t i = 0; i < count; ++i) arcs[next[block.source[i]]++] = {block.to[i], block.cost[i]};
      ::madvise(const_cast<Block*>(&block), sizeof(Block), MADV_DONTNEED);
    });
    // Each cursor now stands at the end of its row: shift them back to starts.
    for (std::size_t x = std::size_t(n_); x >= 1; --x) offsets[x] = offsets[x - 1];
    return Graph(std::move(offsets), std::move(arcs));
  }

 private:
  static constexpr std::size_t kPerBlock = 6553;
  struct alignas(4096) Block {  // page-aligned, so that a copied block can be handed back
    std::uint16_t source[kPerBlock];  // low 16 bits; the chain gives the rest
    std::int32_t to[kPerBlock];
    std::int32_t cost[kPerBlock];
  };
  static_assert(sizeof(Block) == 65536);
  struct Chain {
    std::vector<Block*> blocks;
    std::size_t fill = kPerBlock;
  };

  // Calls visit(table + first node of the chain, block, arcs in it) for every
  // block, chain by chain, each chain's blocks in input order.
  template <class Visit>
  void ForEachBlock(HugeArray<std::uint32_t>& table, Visit visit) {
    for (std::size_t c = 0; c < chains_.size(); ++c)
      for (std::size_t b = 0; b < chains_[c].blocks.size(); ++b)
        visit(&table[c << 16], *chains_[c].blocks[b], b + 1 == chains_[c].blocks.size() ? chains_[c].fill : kPerBlock);
  }

  Block* NewBlock() {
    if (arena_used_ == arena_blocks_) Die("out of memory: the edges need more than " + GiB(arena_blocks_ * sizeof(Block)));
    return &arena_[arena_used_++];
  }

  std::int32_t n_;
  std::vector<Chain> chains_;
  Block* arena_ = nullptr;
  std::uint64_t arena_blocks_ = 0;
  std::uint64_t arena_used_ = 0;
};

// The frame both programs share: names the program in messages, opens the
// input and creates or empties the output (even when the input is missing),
// reports either failure, then does the work. Running out of memory ends
// with a message rather than an uncaught exception.
template <class Work>
int RunProgram(const char* program, IntReader& in, const char* input, ReportWriter& out, const char* output,
               Work work) {
  program_name = program;
  try {
    in.Open(input);
    out.Open(output);
    in.RequireOpen();
    out.RequireOpen();
    work();
  } catch (const std::bad_alloc&) {
    Die("out of memory");
  }
  return 0;
}

}  // namespace graphio
