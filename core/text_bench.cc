// Throughput of the searches over a few MB of Chinese text, the size of a
// long novel turned into pages.
#include <benchmark/benchmark.h>

#include "core/files.h"
#include "core/text.h"

namespace zanvo {
namespace {

const Text& novel() {
  static const Text text = [] {
    // Paragraphs of Chinese with full-width punctuation, an ASCII word now
    // and then, and CR LF line ends; 4 MB in all.
    const Text paragraph =
        gbk("　　第一回　宴桃园豪杰三结义，斩黄巾英雄首立功。话说天下大势，分久必合，"
            "合久必分。周末七国分争，并入于秦。及秦灭之后，楚、汉分争，又并入于汉。") +
        "Chapter " + gbk("乗") + "\r\n";
    Text t;
    while (t.size() < 4 * 1024 * 1024) t += paragraph;
    return t;
  }();
  return text;
}

void BM_FindTextMissing(benchmark::State& state) {
  const Text& t = novel();
  const Text s = gbk("赤壁");
  for (auto _ : state) benchmark::DoNotOptimize(findText(t, s));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * t.size()));
}
BENCHMARK(BM_FindTextMissing);

void BM_FindTextIgnoreCaseMissing(benchmark::State& state) {
  const Text& t = novel();
  for (auto _ : state) benchmark::DoNotOptimize(findText(t, ".htm", 1, true));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * t.size()));
}
BENCHMARK(BM_FindTextIgnoreCaseMissing);

// The loop that callers write: every occurrence, one after the other.
void BM_FindTextEveryOccurrence(benchmark::State& state) {
  const Text& t = novel();
  const Text s = "\r\n";
  for (auto _ : state) {
    int64_t n = 0;
    for (int64_t p = findText(t, s); p > 0; p = findText(t, s, p + 2)) ++n;
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * t.size()));
}
BENCHMARK(BM_FindTextEveryOccurrence);

void BM_ReplaceTextCrLf(benchmark::State& state) {
  const Text& t = novel();
  const Text r = "<br>\r\n";
  for (auto _ : state) benchmark::DoNotOptimize(replaceText(t, "\r\n", r));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * t.size()));
}
BENCHMARK(BM_ReplaceTextCrLf);

void BM_ReplaceTextChinese(benchmark::State& state) {
  const Text& t = novel();
  const Text s = gbk("分争");
  const Text r = gbk("纷争");
  for (auto _ : state) benchmark::DoNotOptimize(replaceText(t, s, r));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * t.size()));
}
BENCHMARK(BM_ReplaceTextChinese);

void BM_ReplaceTextIgnoreCase(benchmark::State& state) {
  const Text& t = novel();
  for (auto _ : state)
    benchmark::DoNotOptimize(replaceText(t, "chapter", "CH", 1, kAllOccurrences, false));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * t.size()));
}
BENCHMARK(BM_ReplaceTextIgnoreCase);

void BM_SplitLines(benchmark::State& state) {
  const Text& t = novel();
  for (auto _ : state) benchmark::DoNotOptimize(splitText(t, "\r\n"));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * t.size()));
}
BENCHMARK(BM_SplitLines);

void BM_Utf8OfText(benchmark::State& state) {
  const Text& t = novel();
  for (auto _ : state) benchmark::DoNotOptimize(utf8OfText(t));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * t.size()));
}
BENCHMARK(BM_Utf8OfText);

}  // namespace
}  // namespace zanvo

BENCHMARK_MAIN();
