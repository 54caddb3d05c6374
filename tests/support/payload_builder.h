#pragma once

#include <cstdint>
#include <vector>

#include "tests/support/test_files.h"

struct ControlRecord {
    std::int32_t datalen;
    std::int32_t extralen;
    std::int32_t oldseek;
};

// One bzip2 stream (block size 9) holding `bytes`.
Bytes bzip2Compress(std::span<const std::uint8_t> bytes);

// The records as 12-byte little-endian triples.
Bytes encodeControlRecords(std::span<const ControlRecord> records);

// What goes into a test payload; the header fields default to what the
// streams and the old file imply and can be overridden to damage them.
struct PayloadRecipe {
    Bytes oldFile;
    std::vector<ControlRecord> records;
    Bytes dataRuns;   // all datalen runs, uncompressed
    Bytes extraRuns;  // all extralen runs, uncompressed
    std::int32_t newsize = 0;
};

struct PayloadStreams {
    Bytes control;
    Bytes data;
    Bytes extra;
};

PayloadStreams compressStreams(const PayloadRecipe& recipe);

// Header fields written verbatim by assemblePayload.
struct HeaderFields {
    std::int32_t ctrlsize;
    std::int32_t datasize;
    std::int32_t extrasize;
    std::int32_t newsize;
    std::int32_t oldsize;
    std::uint8_t oldmd5[16];
};

HeaderFields headerFor(const PayloadRecipe& recipe, const PayloadStreams& streams);

// Header followed by the three streams, back to back.
Bytes assemblePayload(const HeaderFields& header, const PayloadStreams& streams);

// The usual case: a well-formed payload for `recipe`.
Bytes buildPayload(const PayloadRecipe& recipe);

// MD5 of `bytes` by the engine's digest.
void digestOf(std::span<const std::uint8_t> bytes, std::uint8_t digest[16]);
