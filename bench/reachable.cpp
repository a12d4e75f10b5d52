// Nodes that S reaches in a path-count input: what a search that settles
// every node it can reach settles. Prints the count.
//   reachable FILE
#include <cstdint>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::FILE* in = std::fopen(argv[1], "r");
  long long n, m, s, d;
  if (in == nullptr || std::fscanf(in, "%lld %lld %lld %lld", &n, &m, &s, &d) != 4) return 1;
  std::vector<std::int32_t> ends(2 * std::size_t(m));
  std::vector<std::uint32_t> start(std::size_t(n) + 2);
  for (long long i = 0, x, y, c; i < m && std::fscanf(in, "%lld %lld %lld", &x, &y, &c) == 3; ++i) {
    ends[2 * i] = std::int32_t(x), ends[2 * i + 1] = std::int32_t(y);
    ++start[std::size_t(x) + 1], ++start[std::size_t(y) + 1];
  }
  for (std::size_t v = 1; v < start.size(); ++v) start[v] += start[v - 1];
  std::vector<std::int32_t> next(2 * std::size_t(m));
  std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
  for (std::size_t i = 0; i < ends.size(); ++i) next[fill[std::size_t(ends[i])]++] = ends[i ^ 1];
  std::vector<char> seen(std::size_t(n) + 1);
  std::vector<std::int32_t> stack{std::int32_t(s)};
  seen[std::size_t(s)] = 1;
  long long reached = 0;
  while (!stack.empty()) {
    std::int32_t x = stack.back();
    stack.pop_back();
    ++reached;
    for (std::uint32_t i = start[std::size_t(x)]; i < start[std::size_t(x) + 1]; ++i)
      if (!seen[std::size_t(next[i])]) seen[std::size_t(next[i])] = 1, stack.push_back(next[i]);
  }
  std::printf("%lld\n", reached);
  return 0;
}
