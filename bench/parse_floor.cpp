// The parse floor: the least work any reader of these files must do, reading
// the file in large blocks and turning every token into an integer. Prints
// the count and the sum so that nothing is optimised away.
//   parse_floor FILE
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  int fd = open(argv[1], O_RDONLY);
  if (fd < 0) return 1;
  std::vector<char> buffer(1 << 20);
  std::int64_t count = 0, sum = 0, value = 0;
  bool in_token = false, negative = false;
  for (ssize_t got; (got = read(fd, buffer.data(), buffer.size())) > 0;) {
    for (ssize_t i = 0; i < got; ++i) {
      char c = buffer[std::size_t(i)];
      if (c >= '0' && c <= '9') {
        value = value * 10 + (c - '0');
        in_token = true;
      } else if (c == '-') {
        negative = true;
      } else if (in_token) {
        sum += negative ? -value : value;
        ++count;
        value = 0;
        in_token = negative = false;
      }
    }
  }
  if (in_token) sum += negative ? -value : value, ++count;
  std::printf("%lld integers, sum %lld\n", (long long)count, (long long)sum);
  return 0;
}
