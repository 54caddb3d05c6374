#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "tools/mkpayload/make_status.h"

namespace mkpayload {

// One complete bzip2 stream. The buffer is sized for the worst case and left
// uninitialised, so only the pages the compressor writes are ever touched.
struct CompressedStream {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;

    std::span<const std::uint8_t> view() const { return {bytes.get(), size}; }
};

using BytePieces = std::span<const std::span<const std::uint8_t>>;

// Compresses the concatenation of `pieces` as one bzip2 stream with block
// size 9 ("BZh9"), without joining them first; an empty input still gives a
// valid, empty stream.
MakeStatus compressStream(BytePieces pieces, CompressedStream& output);

}  // namespace mkpayload
