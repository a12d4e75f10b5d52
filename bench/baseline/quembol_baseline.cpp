// The straightforward reading of the path-count program, kept as the
// benchmark's baseline: formatted stream extraction, one growable array per
// node, std::priority_queue, 32-bit sums and the 0x3f3f3f3f sentinel.
#include <cstdint>
#include <fstream>
#include <functional>
#include <queue>
#include <utility>
#include <vector>

using namespace std;

ifstream fin("9-quembol.in");
ofstream fout("quembol.out");
const int Inf = 0x3f3f3f3f;
int n, m, S, D;
vector<vector<pair<int, int>>> G;
vector<int> d;
vector<uint64_t> nr;

void ReadGraph() {
  fin >> n >> m >> S >> D;
  G.assign(n + 10, {});
  nr.assign(n + 10, 0);
  for (int i = 0; i < m; ++i) {
    int x, y, c;
    fin >> x >> y >> c;
    G[x].push_back({y, c});
    G[y].push_back({x, c});
  }
}

void Dijkstra(int source, vector<int>& dist) {
  priority_queue<pair<int, int>, vector<pair<int, int>>, greater<pair<int, int>>> heap;
  dist.assign(n + 1, Inf);
  nr[source] = 1;
  dist[source] = 0;
  heap.push({0, source});
  while (!heap.empty()) {
    auto [e, x] = heap.top();
    heap.pop();
    if (e > dist[x]) continue;
    for (auto [y, c] : G[x]) {
      if (dist[y] > dist[x] + c) {
        dist[y] = dist[x] + c;
        nr[y] = nr[x];
        heap.push({dist[y], y});
      } else if (dist[y] == dist[x] + c) {
        nr[y] += nr[x];
      }
    }
  }
}

int main() {
  ReadGraph();
  Dijkstra(S, d);
  fout << nr[D];
  return 0;
}
