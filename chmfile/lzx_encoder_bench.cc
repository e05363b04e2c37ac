// Speed and ratio of the LZX encoder on HTML-like text, per level.
//
// Corpus: the file named by ZANVO_LZX_CORPUS if set (e.g. HTML files
// concatenated), otherwise the web pages and text files under
// /usr/share/doc (sorted by path, up to 20 MiB), topped up with generated
// HTML if there are too few.  "ratio" is compressed size / input size.
#include "chmfile/lzx_encoder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace {

constexpr size_t kCorpusSize = 20u << 20;

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string generatedHtml(size_t size) {
  static const char* const kWords[] = {
      "the", "window", "function", "returns", "value", "of", "a", "file", "book", "page",
      "contents", "index", "search", "compiled", "help", "topic", "and", "to", "in", "is",
      "parameter", "string", "number", "example", "see", "also", "remarks", "class", "object"};
  std::mt19937 rng(1);
  std::string s;
  while (s.size() < size) {
    s += "<p class=\"c" + std::to_string(rng() % 20) + "\">";
    for (int w = 0, n = 3 + static_cast<int>(rng() % 15); w < n; ++w) {
      s += kWords[rng() % std::size(kWords)];
      s += ' ';
    }
    s += "</p>\n";
  }
  s.resize(size);
  return s;
}

const std::string& corpus() {
  static const std::string text = [] {
    if (const char* path = std::getenv("ZANVO_LZX_CORPUS")) return readFile(path);
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator("/usr/share/doc", ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      const std::string ext = it->path().extension().string();
      if (it->is_regular_file(ec) && (ext == ".html" || ext == ".htm" || ext == ".txt"))
        files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    std::string s;
    for (const auto& f : files) {
      if (s.size() >= kCorpusSize) break;
      s += readFile(f);
    }
    if (s.size() < kCorpusSize) s += generatedHtml(kCorpusSize - s.size());
    s.resize(kCorpusSize);
    return s;
  }();
  return text;
}

void BM_LzxCompress(benchmark::State& state) {
  const std::string& input = corpus();
  zanvo::chm::LzxOptions opt;
  opt.level = static_cast<int>(state.range(0));
  opt.threads = static_cast<int>(state.range(1));
  size_t compressed = 0;
  for (auto _ : state) {
    const zanvo::chm::LzxOutput out = zanvo::chm::lzxCompress(input, opt);
    compressed = out.data.size();
    benchmark::DoNotOptimize(out.data.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
  state.counters["ratio"] = static_cast<double>(compressed) / static_cast<double>(input.size());
  state.counters["compressed"] = static_cast<double>(compressed);
}
// Arguments: level, threads (1 = one core; 0 = all cores).
BENCHMARK(BM_LzxCompress)
    ->ArgNames({"level", "threads"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Args({3, 1})
    ->Args({2, 0})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
