#include "tests/mkpayload/payload_inspection.h"

#include <bzlib.h>

#include <cstring>

#include "engine/payload_header.h"

namespace {

// Decompresses the one bzip2 stream that must fill `stream` exactly.
std::string decompressWhole(std::span<const std::uint8_t> stream, Bytes& out) {
    if (stream.size() < 4 || std::memcmp(stream.data(), "BZh9", 4) != 0) {
        return "stream does not begin with BZh9";
    }
    bz_stream state{};
    if (BZ2_bzDecompressInit(&state, 0, 0) != BZ_OK) {
        return "decoder init failed";
    }
    state.next_in = reinterpret_cast<char*>(const_cast<std::uint8_t*>(stream.data()));
    state.avail_in = static_cast<unsigned>(stream.size());
    int code = BZ_OK;
    std::uint8_t chunk[1 << 16];
    while (code == BZ_OK) {
        state.next_out = reinterpret_cast<char*>(chunk);
        state.avail_out = sizeof chunk;
        code = BZ2_bzDecompress(&state);
        out.insert(out.end(), chunk, chunk + (sizeof chunk - state.avail_out));
        if (code == BZ_OK && state.avail_in == 0 && state.avail_out != 0) {
            break;  // input used up without an end marker
        }
    }
    const unsigned left = state.avail_in;
    BZ2_bzDecompressEnd(&state);
    if (code != BZ_STREAM_END) {
        return "stream is damaged or cut short (code " + std::to_string(code) + ")";
    }
    if (left != 0) {
        return "stream ends " + std::to_string(left) + " bytes before its declared length";
    }
    return {};
}

}  // namespace

std::string inspectPayload(const Bytes& payload, InspectedPayload& inspected) {
    PayloadHeader header;
    if (!readPayloadHeader(payload, header)) {
        return "shorter than the header";
    }
    inspected.ctrlsize = header.ctrlsize;
    inspected.datasize = header.datasize;
    inspected.extrasize = header.extrasize;
    inspected.newsize = header.newsize;
    inspected.oldsize = header.oldsize;
    std::memcpy(inspected.oldmd5, header.oldmd5, 16);
    if (header.ctrlsize < 0 || header.datasize < 0 || header.extrasize < 0) {
        return "negative stream length";
    }
    if (claimedPayloadLength(header) != static_cast<std::int64_t>(payload.size())) {
        return "header lengths do not add up to the file size";
    }
    const std::span<const std::uint8_t> body(payload.data() + kPayloadHeaderSize,
                                             payload.size() - kPayloadHeaderSize);
    const std::size_t ctrl = static_cast<std::size_t>(header.ctrlsize);
    const std::size_t data = static_cast<std::size_t>(header.datasize);
    if (std::string problem = decompressWhole(body.subspan(0, ctrl), inspected.control);
        !problem.empty()) {
        return "control " + problem;
    }
    if (std::string problem = decompressWhole(body.subspan(ctrl, data), inspected.data);
        !problem.empty()) {
        return "data " + problem;
    }
    if (std::string problem = decompressWhole(body.subspan(ctrl + data), inspected.extra);
        !problem.empty()) {
        return "extra " + problem;
    }
    if (inspected.control.size() % 12 != 0) {
        return "control stream is not a whole number of records";
    }
    for (std::size_t at = 0; at < inspected.control.size(); at += 12) {
        const std::uint8_t* bytes = inspected.control.data() + at;
        inspected.records.push_back({readLittleEndian32(bytes), readLittleEndian32(bytes + 4),
                                     readLittleEndian32(bytes + 8)});
    }
    return {};
}

std::string checkRecordInvariants(const InspectedPayload& inspected, std::int64_t newSize) {
    if (inspected.newsize != newSize) {
        return "newsize differs from the new file's length";
    }
    std::int64_t newPosition = 0;
    std::int64_t dataTotal = 0;
    std::int64_t extraTotal = 0;
    for (std::size_t i = 0; i < inspected.records.size(); ++i) {
        const InspectedPayload::Record& record = inspected.records[i];
        if (record.datalen < 0 || record.extralen < 0) {
            return "record " + std::to_string(i) + " has a negative length";
        }
        if (newPosition >= newSize) {
            return "record " + std::to_string(i) + " follows the end of the new file";
        }
        newPosition += std::int64_t{record.datalen} + record.extralen;
        dataTotal += record.datalen;
        extraTotal += record.extralen;
        if (newPosition > newSize) {
            return "record " + std::to_string(i) + " runs past newsize";
        }
    }
    if (newPosition != newSize) {
        return "records end at " + std::to_string(newPosition) + ", not at newsize";
    }
    if (dataTotal != static_cast<std::int64_t>(inspected.data.size())) {
        return "data runs do not add up to the data stream";
    }
    if (extraTotal != static_cast<std::int64_t>(inspected.extra.size())) {
        return "extra runs do not add up to the extra stream";
    }
    return {};
}
