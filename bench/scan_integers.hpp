// The least work any reader of the input files must do: read the file in
// large blocks and turn every token into an integer, checking nothing.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <vector>

// Calls take(value) for every integer in the file open on `fd`.
template <class Take>
void ScanIntegers(int fd, Take take) {
  std::vector<char> buffer(1 << 20);
  std::int64_t value = 0;
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
        take(negative ? -value : value);
        value = 0;
        in_token = negative = false;
      }
    }
  }
  if (in_token) take(negative ? -value : value);
}
