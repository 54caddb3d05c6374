#pragma once

#include <cstdint>
#include <span>

// One payload assembled into the executable (see cmake/EmbedPayloads.cmake).
struct EmbeddedPayload {
    std::uint16_t id;
    const std::uint8_t* bytes;
    std::uint64_t size;
};

// The payloads of this executable; defined by each program's generated
// source (or by a test that stands in for one).
std::span<const EmbeddedPayload> embeddedPayloadTable();
