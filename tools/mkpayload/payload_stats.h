#pragma once

#include <cstdint>
#include <cstdio>

namespace mkpayload {

// The figures a maintainer checks after making a payload.
struct PayloadStats {
    std::int64_t records = 0;
    std::int64_t controlBytes = 0;  // compressed sizes of the three streams
    std::int64_t dataBytes = 0;
    std::int64_t extraBytes = 0;
    std::int64_t oldSize = 0;
    std::int64_t newSize = 0;
    double seconds = 0;
};

void printPayloadStats(const PayloadStats& stats, std::FILE* out);

}  // namespace mkpayload
