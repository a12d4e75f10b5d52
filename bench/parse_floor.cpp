// The parse floor: reads the file in large blocks and turns every token into
// an integer, nothing else. Prints the count and the sum so that nothing is
// optimised away.
//   parse_floor FILE
#include <fcntl.h>

#include <cstdio>

#include "scan_integers.hpp"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  int fd = open(argv[1], O_RDONLY);
  if (fd < 0) return 1;
  std::int64_t count = 0, sum = 0;
  ScanIntegers(fd, [&](std::int64_t value) { ++count, sum += value; });
  std::printf("%lld integers, sum %lld\n", (long long)count, (long long)sum);
  return 0;
}
