#include "tools/mkpayload/record_emission.h"

namespace mkpayload {

void emitRecord(std::span<const std::uint8_t> oldBytes, std::span<const std::uint8_t> newBytes,
                const RecordPlan& plan, Difference& difference) {
    difference.records.push_back({plan.dataLength, plan.extraLength, plan.oldSeek});

    const std::size_t dataAt = difference.dataBytes.size();
    difference.dataBytes.resize(dataAt + static_cast<std::size_t>(plan.dataLength));
    std::uint8_t* data = difference.dataBytes.data() + dataAt;
    const std::uint8_t* newRun = newBytes.data() + plan.newStart;
    const std::uint8_t* oldRun = oldBytes.data() + plan.oldStart;
    for (std::int32_t i = 0; i < plan.dataLength; ++i) {
        data[i] = static_cast<std::uint8_t>(newRun[i] - oldRun[i]);
    }

    const std::uint8_t* extraRun = newRun + plan.dataLength;
    difference.extraBytes.insert(difference.extraBytes.end(), extraRun,
                                 extraRun + plan.extraLength);
}

void writeLittleEndian32(std::int32_t value, std::uint8_t* bytes) {
    const auto bits = static_cast<std::uint32_t>(value);
    bytes[0] = static_cast<std::uint8_t>(bits);
    bytes[1] = static_cast<std::uint8_t>(bits >> 8);
    bytes[2] = static_cast<std::uint8_t>(bits >> 16);
    bytes[3] = static_cast<std::uint8_t>(bits >> 24);
}

std::vector<std::uint8_t> encodeControlRecords(std::span<const ControlRecord> records) {
    std::vector<std::uint8_t> bytes(records.size() * 12);
    std::uint8_t* at = bytes.data();
    for (const ControlRecord& record : records) {
        writeLittleEndian32(record.dataLength, at);
        writeLittleEndian32(record.extraLength, at + 4);
        writeLittleEndian32(record.oldSeek, at + 8);
        at += 12;
    }
    return bytes;
}

}  // namespace mkpayload
