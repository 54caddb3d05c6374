#include "tests/support/bsdiff_patch.h"

#include <bzlib.h>

#include <cstring>
#include <limits>

#include "tests/support/payload_builder.h"

namespace {

constexpr std::size_t kBsdiffHeaderSize = 32;

// bsdiff's integers: little-endian magnitude, sign in the top bit.
std::int64_t signMagnitude64(const std::uint8_t* bytes) {
    std::int64_t magnitude = bytes[7] & 0x7f;
    for (int i = 6; i >= 0; --i) {
        magnitude = magnitude * 256 + bytes[i];
    }
    return (bytes[7] & 0x80) != 0 ? -magnitude : magnitude;
}

bool decompressWhole(const std::uint8_t* stream, std::size_t length, Bytes& out) {
    bz_stream decoder{};
    if (BZ2_bzDecompressInit(&decoder, 0, 0) != BZ_OK) {
        return false;
    }
    decoder.next_in = const_cast<char*>(reinterpret_cast<const char*>(stream));
    decoder.avail_in = static_cast<unsigned>(length);
    char chunk[65536];
    int result = BZ_OK;
    while (result == BZ_OK) {
        decoder.next_out = chunk;
        decoder.avail_out = sizeof chunk;
        result = BZ2_bzDecompress(&decoder);
        out.insert(out.end(), chunk, chunk + (sizeof chunk - decoder.avail_out));
    }
    BZ2_bzDecompressEnd(&decoder);
    return result == BZ_STREAM_END;
}

bool fitsInt32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

Bytes payloadFromBsdiffPatch(const Bytes& patch, const Bytes& oldFile) {
    if (patch.size() < kBsdiffHeaderSize || std::memcmp(patch.data(), "BSDIFF40", 8) != 0) {
        return {};
    }
    const std::int64_t controlLength = signMagnitude64(patch.data() + 8);
    const std::int64_t dataLength = signMagnitude64(patch.data() + 16);
    const std::int64_t newSize = signMagnitude64(patch.data() + 24);
    const std::int64_t available = static_cast<std::int64_t>(patch.size() - kBsdiffHeaderSize);
    if (controlLength < 0 || dataLength < 0 || controlLength + dataLength > available ||
        !fitsInt32(newSize)) {
        return {};
    }
    const std::uint8_t* control = patch.data() + kBsdiffHeaderSize;
    Bytes controlBytes;
    if (!decompressWhole(control, static_cast<std::size_t>(controlLength), controlBytes) ||
        controlBytes.size() % 24 != 0) {
        return {};
    }
    std::vector<ControlRecord> records;
    for (std::size_t at = 0; at < controlBytes.size(); at += 24) {
        const std::int64_t values[3] = {signMagnitude64(&controlBytes[at]),
                                        signMagnitude64(&controlBytes[at + 8]),
                                        signMagnitude64(&controlBytes[at + 16])};
        for (std::int64_t value : values) {
            if (!fitsInt32(value)) {
                return {};
            }
        }
        records.push_back({static_cast<std::int32_t>(values[0]),
                           static_cast<std::int32_t>(values[1]),
                           static_cast<std::int32_t>(values[2])});
    }

    // bsdiff's data and extra streams are already single bzip2 streams.
    PayloadStreams streams;
    streams.control = bzip2Compress(encodeControlRecords(records));
    const auto dataBegin =
        patch.begin() + static_cast<std::ptrdiff_t>(kBsdiffHeaderSize + controlLength);
    const auto extraBegin = dataBegin + static_cast<std::ptrdiff_t>(dataLength);
    streams.data.assign(dataBegin, extraBegin);
    streams.extra.assign(extraBegin, patch.end());

    PayloadRecipe recipe;
    recipe.oldFile = oldFile;
    recipe.newsize = static_cast<std::int32_t>(newSize);
    return assemblePayload(headerFor(recipe, streams), streams);
}
