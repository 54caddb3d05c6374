#pragma once

#include <cstdint>
#include <span>

// A payload as the platform placed it in the program image: its bytes and
// their length. The job never reads outside this block.
using PatchPayload = std::span<const std::uint8_t>;
