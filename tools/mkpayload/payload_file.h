#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "engine/payload_header.h"
#include "tools/mkpayload/make_status.h"

namespace mkpayload {

// The 36 header bytes as the container stores them.
std::array<std::uint8_t, kPayloadHeaderSize> encodePayloadHeader(const PayloadHeader& header);

// Writes header and streams to `path`. The bytes go to a temporary file beside
// it that is renamed over `path` only once complete, so a failure never leaves
// a partial payload there.
MakeStatus writePayloadFile(const char* path, std::span<const std::uint8_t> header,
                            std::span<const std::span<const std::uint8_t>> streams);

}  // namespace mkpayload
