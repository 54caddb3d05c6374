#include "tests/support/payload_builder.h"

#include <bzlib.h>
#include <gtest/gtest.h>

#include <cstring>

#include "engine/md5.h"

Bytes bzip2Compress(std::span<const std::uint8_t> bytes) {
    // bzip2's worst case is 1% plus 600 bytes over the input.
    unsigned int capacity = static_cast<unsigned int>(bytes.size() + bytes.size() / 100 + 600);
    Bytes compressed(capacity);
    // The library refuses a null source even for zero bytes; an empty run
    // still becomes a complete (14-byte) stream.
    char empty = 0;
    char* source =
        bytes.empty() ? &empty : const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    const int result =
        BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(compressed.data()), &capacity, source,
                                 static_cast<unsigned int>(bytes.size()), 9, 0, 0);
    if (result != BZ_OK) {
        ADD_FAILURE() << "bzip2 compression failed with " << result;
        return {};
    }
    compressed.resize(capacity);
    return compressed;
}

namespace {
void appendLittleEndian32(Bytes& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(bits >> shift));
    }
}
}  // namespace

Bytes encodeControlRecords(std::span<const ControlRecord> records) {
    Bytes out;
    for (const ControlRecord& record : records) {
        appendLittleEndian32(out, record.datalen);
        appendLittleEndian32(out, record.extralen);
        appendLittleEndian32(out, record.oldseek);
    }
    return out;
}

PayloadStreams compressStreams(const PayloadRecipe& recipe) {
    return PayloadStreams{bzip2Compress(encodeControlRecords(recipe.records)),
                          bzip2Compress(recipe.dataRuns), bzip2Compress(recipe.extraRuns)};
}

void digestOf(std::span<const std::uint8_t> bytes, std::uint8_t digest[16]) {
    Md5Context context;
    md5Init(context);
    md5Append(context, bytes.data(), static_cast<std::int32_t>(bytes.size()));
    md5Finish(context, digest);
}

HeaderFields headerFor(const PayloadRecipe& recipe, const PayloadStreams& streams) {
    HeaderFields header{};
    header.ctrlsize = static_cast<std::int32_t>(streams.control.size());
    header.datasize = static_cast<std::int32_t>(streams.data.size());
    header.extrasize = static_cast<std::int32_t>(streams.extra.size());
    header.newsize = recipe.newsize;
    header.oldsize = static_cast<std::int32_t>(recipe.oldFile.size());
    digestOf(recipe.oldFile, header.oldmd5);
    return header;
}

Bytes assemblePayload(const HeaderFields& header, const PayloadStreams& streams) {
    Bytes out;
    appendLittleEndian32(out, header.ctrlsize);
    appendLittleEndian32(out, header.datasize);
    appendLittleEndian32(out, header.extrasize);
    appendLittleEndian32(out, header.newsize);
    appendLittleEndian32(out, header.oldsize);
    out.insert(out.end(), header.oldmd5, header.oldmd5 + 16);
    for (const Bytes* stream : {&streams.control, &streams.data, &streams.extra}) {
        out.insert(out.end(), stream->begin(), stream->end());
    }
    return out;
}

Bytes buildPayload(const PayloadRecipe& recipe) {
    const PayloadStreams streams = compressStreams(recipe);
    return assemblePayload(headerFor(recipe, streams), streams);
}
