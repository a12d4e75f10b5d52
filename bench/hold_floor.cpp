// The hold floor: the least work any program that keeps the graph must do.
// Like the parse floor it reads and converts every integer, and it stores
// each one, in order, into one fresh array (4 bytes an integer, 12 bytes an
// edge), on huge pages as the programs' tables are. Memory touched for the
// first time costs this machine a varying price; the hold floor pays it as
// a program that keeps the graph does. Prints the count and a checksum.
//   hold_floor FILE
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <cstdio>

#include "scan_integers.hpp"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  int fd = open(argv[1], O_RDONLY);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) return 1;
  std::size_t bytes = (std::size_t(st.st_size) / 2 + 1) * sizeof(std::int32_t);  // a token and a separator at least
  void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (memory == MAP_FAILED) return 1;
  madvise(memory, bytes, MADV_HUGEPAGE);
  auto* held = static_cast<std::int32_t*>(memory);
  std::size_t count = 0;
  ScanIntegers(fd, [&](std::int64_t value) { held[count++] = std::int32_t(value); });
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < count; i += 4096) sum += std::uint32_t(held[i]);
  std::printf("%zu integers held, checksum %llu\n", count, (unsigned long long)sum);
  return 0;
}
