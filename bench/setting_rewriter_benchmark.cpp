// How the rewriter's cost grows with the number of settings in a file of the
// largest size the program accepts: a file with none of the three keys, and
// one with a setting on every line.
//
// The allocator is told to keep the memory it gets back. Otherwise glibc hands
// the rewriter's buffers back to the kernel after every iteration, and on a
// virtual machine the time to fault fresh zeroed pages in again outweighs the
// rewrite itself; a real run pays that once.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <string>

#include "patcher/setting_rewriter.h"

namespace {

std::string FillTo(const std::string& line) {
  std::string text;
  while (text.size() + line.size() <= ConfigText::kMaxFileSize) text += line;
  return text + std::string(ConfigText::kMaxFileSize - text.size(), ' ');
}

std::string Sparse() {
  return FillTo("    ShadowQuality=\"High\" SSAO=\"Enabled\" Sky=\"Soft\"\r\n");
}

std::string Dense() {
  return FillTo(
      "    SpeedTree_Small=\"1500.0\"\r\n    SpeedTree_Medium=\"3500.0\"\r\n"
      "    SpeedTree_Large=\"6000.0\"\r\n");
}

void Rewrite(benchmark::State& state, const std::string& original) {
  for (auto _ : state) {
    ConfigText text{original};
    benchmark::DoNotOptimize(RewriteSettings(text));
    benchmark::DoNotOptimize(text.bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * original.size()));
}

void BM_RewriteSparse(benchmark::State& state) { Rewrite(state, Sparse()); }
void BM_RewriteDense(benchmark::State& state) { Rewrite(state, Dense()); }

BENCHMARK(BM_RewriteSparse);
BENCHMARK(BM_RewriteDense);

}  // namespace

int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 16 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
