#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace mkpayload {

// Number of leading bytes that `a` and `b` share, at most `limit`. Compares a
// machine word at a time: this is the innermost loop of the suffix search.
inline std::int32_t commonPrefixLength(const std::uint8_t* a, const std::uint8_t* b,
                                       std::int32_t limit) {
    std::int32_t length = 0;
    while (length + 8 <= limit) {
        std::uint64_t wordA;
        std::uint64_t wordB;
        std::memcpy(&wordA, a + length, 8);
        std::memcpy(&wordB, b + length, 8);
        const std::uint64_t differing = wordA ^ wordB;
        if (differing != 0) {
            if constexpr (std::endian::native == std::endian::little) {
                return length + std::countr_zero(differing) / 8;
            } else {
                return length + std::countl_zero(differing) / 8;
            }
        }
        length += 8;
    }
    while (length < limit && a[length] == b[length]) {
        ++length;
    }
    return length;
}

}  // namespace mkpayload
