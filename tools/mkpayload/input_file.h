#pragma once

#include <cstdint>
#include <vector>

#include "tools/mkpayload/make_status.h"

namespace mkpayload {

// Inputs must fit the container's signed 32-bit sizes.
inline constexpr std::int64_t kLargestInput = 0x7fffffff;

// Reads the file `name` whole into `bytes`. Refuses files of 2^31 bytes or more.
MakeStatus readInputFile(const char* name, std::vector<std::uint8_t>& bytes);

}  // namespace mkpayload
