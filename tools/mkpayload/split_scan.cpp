#include "tools/mkpayload/split_scan.h"

#include "tools/mkpayload/difference_scan.h"
#include "tools/mkpayload/paired_work.h"

namespace mkpayload {

namespace {

// Below this a second thread does not pay for the seam.
constexpr std::int32_t kSplitThreshold = 1 << 20;

// Where the records leave the old position, starting from `start`.
std::int64_t endingOldPosition(std::span<const ControlRecord> records, std::int64_t start) {
    for (const ControlRecord& record : records) {
        start += std::int64_t{record.dataLength} + record.oldSeek;
    }
    return start;
}

}  // namespace

void scanInParts(std::span<const std::uint8_t> oldBytes, std::span<const std::uint8_t> newBytes,
                 const SuffixIndex& index, ProgressMeter& meter, SplitDifference& difference) {
    const auto newSize = static_cast<std::int32_t>(newBytes.size());
    const auto oldSize = static_cast<std::int32_t>(oldBytes.size());
    if (newSize < kSplitThreshold) {
        scanDifference(oldBytes, newBytes, {0, newSize}, index, &meter, difference[0]);
        return;
    }
    const ScanPart first{0, newSize / 2};
    const ScanPart second{newSize / 2, newSize};
    // The second half runs on the helper thread; only the first shows progress.
    auto scanFirst = [&] {
        scanDifference(oldBytes, newBytes, first, index, &meter, difference[0]);
    };
    auto scanSecond = [&] {
        scanDifference(oldBytes, newBytes, second, index, nullptr, difference[1]);
    };
    runBoth(scanSecond, scanFirst);

    // The first part's last record must leave the old position where the
    // second part's scan started.
    std::vector<ControlRecord>& records = difference[0].records;
    const std::int64_t reached = endingOldPosition(records, scanStartOld(oldSize, first));
    records.back().oldSeek += static_cast<std::int32_t>(scanStartOld(oldSize, second) - reached);
    records.insert(records.end(), difference[1].records.begin(), difference[1].records.end());
    std::vector<ControlRecord>().swap(difference[1].records);
}

}  // namespace mkpayload
