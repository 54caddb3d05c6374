#pragma once

#include <cstdint>
#include <span>

#include "tools/mkpayload/difference.h"
#include "tools/mkpayload/progress_meter.h"
#include "tools/mkpayload/suffix_index.h"

// Walks the new file and describes it as approximate matches against the old
// file: runs that mostly agree with an old region become data runs (their
// byte differences compress to almost nothing), what matches nowhere becomes
// extra runs. The records cover the new file exactly; an empty new file gives
// no record.
void scanDifference(std::span<const std::uint8_t> oldBytes, std::span<const std::uint8_t> newBytes,
                    const SuffixIndex& index, ProgressMeter& meter, Difference& difference);
