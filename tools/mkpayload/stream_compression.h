#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "tools/mkpayload/make_status.h"

// One complete bzip2 stream. The buffer is sized for the worst case and left
// uninitialised, so only the pages the compressor writes are ever touched.
struct CompressedStream {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;

    std::span<const std::uint8_t> view() const { return {bytes.get(), size}; }
};

// Compresses `input` as one bzip2 stream with block size 9 ("BZh9"); an empty
// input still gives a valid, empty stream.
MakeStatus compressStream(std::span<const std::uint8_t> input, CompressedStream& output);

// Compresses two inputs at the same time (each on its own thread).
MakeStatus compressStreamPair(std::span<const std::uint8_t> firstInput,
                              CompressedStream& firstOutput,
                              std::span<const std::uint8_t> secondInput,
                              CompressedStream& secondOutput);
