#pragma once

#include <cstdint>
#include <span>

#include "tools/mkpayload/difference.h"
#include "tools/mkpayload/progress_meter.h"
#include "tools/mkpayload/suffix_index.h"

namespace mkpayload {

// The stretch new[begin, end) that one scan describes, as if the new file
// ended at `end`. The scan starts from the alignment that pairs new[begin]
// with old[begin] (or the old file's end, if shorter).
struct ScanPart {
    std::int32_t begin = 0;
    std::int32_t end = 0;
};

// Walks the part of the new file and describes it as approximate matches
// against the old file: runs that mostly agree with an old region become data
// runs (their byte differences compress to almost nothing), what matches
// nowhere becomes extra runs. The records cover the part exactly; an empty
// part gives no record. `meter` may be null (no progress shown).
void scanDifference(std::span<const std::uint8_t> oldBytes, std::span<const std::uint8_t> newBytes,
                    ScanPart part, const SuffixIndex& index, ProgressMeter* meter,
                    Difference& difference);

// Where a scan of `part` starts in the old file.
std::int32_t scanStartOld(std::int32_t oldSize, ScanPart part);

}  // namespace mkpayload
