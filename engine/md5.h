#pragma once

#include <cstdint>

// RFC 1321 MD5 over a message fed in any number of pieces. The context is a
// plain record owned by the caller; nothing is allocated.
struct Md5Context {
    std::uint32_t bitCount[2];       // bits fed so far, low word first (mod 2^64)
    std::uint32_t chainingWords[4];  // A, B, C, D
    std::uint8_t blockBuffer[64];    // bytes fed since the last complete block
};

void md5Init(Md5Context& context);

// Feeds `length` bytes at `data`; a length of 0 or less changes nothing.
void md5Append(Md5Context& context, const std::uint8_t* data, std::int32_t length);

// Pads, appends the bit count and writes the 16 digest bytes. The context is
// spent afterwards until the next md5Init.
void md5Finish(Md5Context& context, std::uint8_t digest[16]);
