#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "tools/mkpayload/difference.h"
#include "tools/mkpayload/progress_meter.h"
#include "tools/mkpayload/suffix_index.h"

namespace mkpayload {

// The difference of a new file scanned in up to two parts at the same time.
// All records are in the first part, in order; the data and extra streams are
// the first part's runs followed by the second's.
using SplitDifference = std::array<Difference, 2>;

// Scans the new file against the indexed old file, the two halves of a large
// new file on two threads. Splitting costs at most one record and a few bytes
// at the seam.
void scanInParts(std::span<const std::uint8_t> oldBytes, std::span<const std::uint8_t> newBytes,
                 const SuffixIndex& index, ProgressMeter& meter, SplitDifference& difference);

}  // namespace mkpayload
