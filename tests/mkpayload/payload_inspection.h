#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

// A payload taken apart: the header fields, the three streams decompressed,
// and the control records decoded from 12-byte little-endian triples.
struct InspectedPayload {
    std::int32_t ctrlsize = 0;
    std::int32_t datasize = 0;
    std::int32_t extrasize = 0;
    std::int32_t newsize = 0;
    std::int32_t oldsize = 0;
    std::uint8_t oldmd5[16] = {};
    Bytes control;
    Bytes data;
    Bytes extra;
    struct Record {
        std::int32_t datalen;
        std::int32_t extralen;
        std::int32_t oldseek;
    };
    std::vector<Record> records;
};

// Empty text when the payload is a well-formed container (header lengths
// matching the file, each stream one complete "BZh9" stream ending on its
// last byte, a whole number of records); otherwise what is wrong.
std::string inspectPayload(const Bytes& payload, InspectedPayload& inspected);

// Empty text when the records obey the container's rules for `newSize`;
// otherwise the first broken rule.
std::string checkRecordInvariants(const InspectedPayload& inspected, std::int64_t newSize);
