// md5Append over an 8 MB message, once starting on an aligned address and
// once one byte past it, the two ways a caller's buffer can lie.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "engine/md5.h"

namespace {

constexpr std::int32_t kMessageSize = 8 << 20;

void digestAt(benchmark::State& state, std::size_t offset) {
    std::vector<std::uint8_t> storage(kMessageSize + 64);
    std::uint32_t seed = 1;
    for (std::uint8_t& byte : storage) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    const std::uint8_t* message = storage.data() + offset;
    for (auto _ : state) {
        Md5Context context;
        md5Init(context);
        md5Append(context, message, kMessageSize);
        std::uint8_t digest[16];
        md5Finish(context, digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t{kMessageSize});
}

void Md5Aligned(benchmark::State& state) {
    digestAt(state, 0);  // vector storage is at least 16-byte aligned
}
void Md5Unaligned(benchmark::State& state) {
    digestAt(state, 1);
}

BENCHMARK(Md5Aligned)->Unit(benchmark::kMillisecond);
BENCHMARK(Md5Unaligned)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
