#pragma once

#include <cstdint>
#include <vector>

namespace mkpayload {

// One control record: add `dataLength` bytes to old bytes, copy `extraLength`
// bytes unchanged, then move the old position by `oldSeek`.
struct ControlRecord {
    std::int32_t dataLength;
    std::int32_t extraLength;
    std::int32_t oldSeek;
};

// The difference between two files, before compression.
struct Difference {
    std::vector<ControlRecord> records;
    std::vector<std::uint8_t> dataBytes;   // all data runs, in record order
    std::vector<std::uint8_t> extraBytes;  // all extra runs, in record order
};

}  // namespace mkpayload
