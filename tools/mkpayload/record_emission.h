#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/mkpayload/difference.h"

namespace mkpayload {

// Where one record takes its bytes from: the data run pairs new[newStart...]
// with old[oldStart...], the extra run follows it in the new file.
struct RecordPlan {
    std::int32_t newStart;
    std::int32_t oldStart;
    std::int32_t dataLength;
    std::int32_t extraLength;
    std::int32_t oldSeek;
};

// Appends the record and its data and extra bytes to `difference`.
void emitRecord(std::span<const std::uint8_t> oldBytes, std::span<const std::uint8_t> newBytes,
                const RecordPlan& plan, Difference& difference);

// The control records as the payload stores them: 12 bytes each, three 32-bit
// little-endian two's-complement fields.
std::vector<std::uint8_t> encodeControlRecords(std::span<const ControlRecord> records);

void writeLittleEndian32(std::int32_t value, std::uint8_t* bytes);

}  // namespace mkpayload
