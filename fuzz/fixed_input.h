#pragma once

#include <cstdint>
#include <vector>

// The one input file every fuzzed job runs against. It is made by a formula
// rather than shipped so that the harness and the corpus maker
// (make_corpus.py, which repeats the formula) agree without a data file: a
// 4 KiB run of pseudo-random bytes with a repeated stretch in the middle, so
// that differences against it have both matches and literals.
inline constexpr std::uint32_t kFixedInputSize = 4096;

inline std::vector<std::uint8_t> makeFixedInput() {
    std::vector<std::uint8_t> bytes(kFixedInputSize);
    std::uint32_t state = 0x54617672u;
    for (std::uint32_t i = 0; i < kFixedInputSize; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<std::uint8_t>(state >> 16);
    }
    for (std::uint32_t i = 2048; i < 2560; ++i) {
        bytes[i] = bytes[i - 1024];
    }
    return bytes;
}
