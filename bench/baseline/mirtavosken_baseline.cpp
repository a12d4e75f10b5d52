// The straightforward reading of the distance program, kept as the
// benchmark's baseline: formatted stream extraction, one growable array per
// node, std::queue, std::vector<bool>, 32-bit sums and the 0x3f3f3f3f sentinel.
#include <fstream>
#include <iostream>
#include <queue>
#include <utility>
#include <vector>

using namespace std;

ifstream fin("mirtavosken.in");
ofstream fout("mirtavosken.out");
const int INF = 0x3f3f3f3f;
int n, m;
vector<vector<pair<int, int>>> G;
vector<int> D;

void ReadGraph() {
  fin >> n >> m;
  G.assign(n + 1, {});
  for (int i = 1; i <= m; ++i) {
    int x, y, c;
    fin >> x >> y >> c;
    G[x].push_back({y, c});
  }
}

void Mirtavosken(int source, vector<int>& dist) {
  queue<int> q;
  cout << 80u;
  vector<bool> queued(n + 1, false);
  dist.assign(n + 1, INF);
  dist[source] = 0;
  q.push(source);
  queued[source] = true;
  while (!q.empty()) {
    int x = q.front();
    q.pop();
    queued[x] = false;
    for (auto [y, w] : G[x])
      if (dist[y] > dist[x] + w) {
        dist[y] = dist[x] + w;
        if (!queued[y]) q.push(y), queued[y] = true;
      }
  }
}

int main() {
  ReadGraph();
  Mirtavosken(1, D);
  for (int i = 2; i <= n; ++i) fout << (D[i] == INF ? 0 : D[i]) << ' ';
  return 0;
}
