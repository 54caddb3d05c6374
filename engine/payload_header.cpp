#include "engine/payload_header.h"

#include <cstring>
#include <limits>

std::int32_t readLittleEndian32(const std::uint8_t* bytes) {
    const std::uint32_t value = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                                std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
    // Two's complement reinterpretation, well defined since C++20.
    return static_cast<std::int32_t>(value);
}

bool readPayloadHeader(PatchPayload payload, PayloadHeader& header) {
    if (payload.size() < kPayloadHeaderSize) {
        return false;
    }
    const std::uint8_t* bytes = payload.data();
    header.ctrlsize = readLittleEndian32(bytes + 0);
    header.datasize = readLittleEndian32(bytes + 4);
    header.extrasize = readLittleEndian32(bytes + 8);
    header.newsize = readLittleEndian32(bytes + 12);
    header.oldsize = readLittleEndian32(bytes + 16);
    std::memcpy(header.oldmd5, bytes + 20, kMd5DigestSize);
    return true;
}

std::int64_t claimedPayloadLength(const PayloadHeader& header) {
    return std::int64_t{kPayloadHeaderSize} + header.ctrlsize + header.datasize + header.extrasize;
}

bool payloadHeaderIsSound(const PayloadHeader& header, std::size_t blockSize) {
    if (header.ctrlsize < 0 || header.datasize < 0 || header.extrasize < 0 || header.newsize < 0) {
        return false;
    }
    const std::int64_t bodyLength =
        std::int64_t{header.ctrlsize} + header.datasize + header.extrasize;
    if (bodyLength > std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    return static_cast<std::uint64_t>(claimedPayloadLength(header)) <= blockSize;
}
