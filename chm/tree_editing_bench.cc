// Each tree command of the "生成CHM" page on trees of 10,000 to 100,000
// items: the time per command should grow no faster than the tree.
#include <benchmark/benchmark.h>

#include <string>

#include "chm/tree_editing.h"
#include "chm/web_import.h"

namespace zanvo {
namespace {

constexpr int kTopLevel = 10;

// kTopLevel folders, each with n / kTopLevel items: sub-folders of ten
// pages each.
void fill(DocumentTree& t, int n) {
  t.clear();
  const int perFolder = n / kTopLevel;
  for (int f = 0; f < kTopLevel; ++f) {
    const int top = t.addChild(-1, "<f" + std::to_string(f) + ">", 0, -1);
    int sub = top;
    for (int k = 1; k < perFolder; ++k) {
      if (k % 11 == 1) {
        sub = t.addChild(top, "<s" + std::to_string(k) + ">", 0, -1);
      } else {
        t.addChild(sub, "p" + std::to_string(k) + ".htm", 1, -1);
      }
    }
  }
}

void BM_MoveDownThenUp(benchmark::State& state) {
  DocumentTree t;
  AppState app;
  fill(t, static_cast<int>(state.range(0)));
  // The middle top-level folder and its next sibling trade places and back.
  const int middle = (kTopLevel / 2) * (static_cast<int>(state.range(0)) / kTopLevel);
  for (auto _ : state) {
    const int moved = moveDown(t, app, middle);
    benchmark::DoNotOptimize(moveUp(t, app, moved));
  }
  state.SetComplexityN(state.range(0));
}

void BM_DeleteItem(benchmark::State& state) {
  DocumentTree t;
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    fill(t, n);
    state.ResumeTiming();
    benchmark::DoNotOptimize(deleteItem(t, (kTopLevel / 2) * (n / kTopLevel)));
  }
  state.SetComplexityN(state.range(0));
}

void BM_DeleteChildren(benchmark::State& state) {
  DocumentTree t;
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    fill(t, n);
    state.ResumeTiming();
    deleteChildren(t, (kTopLevel / 2) * (n / kTopLevel));
  }
  state.SetComplexityN(state.range(0));
}

void BM_Filter(benchmark::State& state) {
  DocumentTree t;
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    fill(t, n);
    // Every other page becomes an image, to be filtered out.
    for (int i = 0; i < t.count(); i += 2) {
      if (t.image(i) == 1) t.setCaption(i, "x.gif");
    }
    state.ResumeTiming();
    filterTree(t);
  }
  state.SetComplexityN(state.range(0));
}

#define TREE_SIZES ->RangeMultiplier(10)->Range(10000, 100000)->Complexity()
BENCHMARK(BM_MoveDownThenUp) TREE_SIZES;
BENCHMARK(BM_DeleteItem) TREE_SIZES;
BENCHMARK(BM_DeleteChildren) TREE_SIZES;
BENCHMARK(BM_Filter) TREE_SIZES;

}  // namespace
}  // namespace zanvo

BENCHMARK_MAIN();
