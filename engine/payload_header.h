#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/patch_payload.h"

inline constexpr std::size_t kPayloadHeaderSize = 36;
inline constexpr std::size_t kMd5DigestSize = 16;

// The 36-byte header in front of the three bzip2 streams. Every integer is
// stored little-endian and read as signed 32-bit.
struct PayloadHeader {
    std::int32_t ctrlsize;
    std::int32_t datasize;
    std::int32_t extrasize;
    std::int32_t newsize;
    std::int32_t oldsize;
    std::uint8_t oldmd5[kMd5DigestSize];
};

// Little-endian signed 32-bit value at `bytes`, assembled byte by byte so that
// neither the host's byte order nor the alignment matters.
std::int32_t readLittleEndian32(const std::uint8_t* bytes);

// Fills `header` from the first 36 bytes of `payload`. Returns false, leaving
// `header` untouched, when the block is shorter than the header.
bool readPayloadHeader(PatchPayload payload, PayloadHeader& header);

// Header plus the three stream lengths, widened so that no sum overflows.
std::int64_t claimedPayloadLength(const PayloadHeader& header);

// True when the header can be trusted for staging and rebuilding: no negative
// size, stream lengths that add up within 32 bits, and streams that lie inside
// the block of `blockSize` bytes that holds the payload.
bool payloadHeaderIsSound(const PayloadHeader& header, std::size_t blockSize);
