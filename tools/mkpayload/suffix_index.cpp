#include "tools/mkpayload/suffix_index.h"

#include <divsufsort.h>

#include <algorithm>
#include <cstdio>

#include "tools/mkpayload/common_prefix.h"
#include "tools/mkpayload/paired_work.h"

namespace {

// Below this size one sort is fast enough that a second thread does not pay.
constexpr std::int32_t kTwoSliceThreshold = 1 << 20;
constexpr std::size_t kPrefixCount = 1 << 16;

struct SliceSort {
    const std::uint8_t* text;
    std::int32_t* order;
    std::int32_t length;
    std::vector<std::int32_t>* buckets;
    bool succeeded;
};

inline std::size_t prefixOf(const std::uint8_t* bytes) {
    return std::size_t{bytes[0]} << 8 | bytes[1];
}

// Counts the suffixes by two-byte prefix and turns the counts into starts.
// The one-byte suffix at the end sorts first among the prefix (b, 0) and is
// counted there; searches step over it.
void countBuckets(const std::uint8_t* text, std::int32_t length,
                  std::vector<std::int32_t>& buckets) {
    buckets.assign(kPrefixCount + 1, 0);
    for (std::int32_t i = 0; i + 1 < length; ++i) {
        ++buckets[prefixOf(text + i) + 1];
    }
    if (length > 0) {
        ++buckets[(std::size_t{text[length - 1]} << 8) + 1];
    }
    for (std::size_t key = 1; key <= kPrefixCount; ++key) {
        buckets[key] += buckets[key - 1];
    }
}

void sortSlice(void* context) {
    SliceSort* slice = static_cast<SliceSort*>(context);
    slice->succeeded =
        slice->length == 0 || divsufsort(slice->text, slice->order, slice->length) == 0;
    countBuckets(slice->text, slice->length, *slice->buckets);
}

// Binary search over one sorted slice for the insertion point of `pattern`;
// the longest match is one of the two neighbours there. The common prefix
// already known for both bounds is skipped at each probe.
SuffixMatch searchRange(const std::uint8_t* text, std::int32_t textLength,
                        const std::int32_t* order, std::int32_t rangeStart, std::int32_t rangeEnd,
                        std::int32_t shared, const std::uint8_t* pattern,
                        std::int32_t patternLength) {
    // order[low] < pattern <= order[high]; the range's ends stand for bounds
    // that share `shared` bytes with the pattern.
    std::int32_t low = rangeStart - 1;
    std::int32_t high = rangeEnd;
    std::int32_t lowCommon = shared;
    std::int32_t highCommon = shared;
    while (high - low > 1) {
        const std::int32_t middle = low + (high - low) / 2;
        const std::int32_t start = order[middle];
        const std::int32_t suffixLength = textLength - start;
        const std::int32_t known = std::min(lowCommon, highCommon);
        const std::int32_t limit = std::min(suffixLength, patternLength);
        const std::int32_t common =
            known + commonPrefixLength(text + start + known, pattern + known, limit - known);
        const bool suffixBelow = common < patternLength &&
                                 (common == suffixLength || text[start + common] < pattern[common]);
        if (suffixBelow) {
            low = middle;
            lowCommon = common;
        } else {
            high = middle;
            highCommon = common;
        }
    }
    if (low >= rangeStart && (high >= rangeEnd || lowCommon >= highCommon)) {
        return {order[low], lowCommon};
    }
    if (high < rangeEnd) {
        return {order[high], highCommon};
    }
    return {};
}

SuffixMatch searchSlice(const std::uint8_t* text, std::int32_t textLength,
                        const std::int32_t* order, const std::vector<std::int32_t>& buckets,
                        const std::uint8_t* pattern, std::int32_t patternLength) {
    if (patternLength >= 2 && textLength >= 2) {
        const std::size_t prefix = prefixOf(pattern);
        std::int32_t start = buckets[prefix];
        const std::int32_t end = buckets[prefix + 1];
        if (start < end && order[start] == textLength - 1) {
            ++start;  // the one-byte suffix, which lacks the second byte
        }
        if (start < end) {
            return searchRange(text, textLength, order, start, end, 2, pattern, patternLength);
        }
    }
    return searchRange(text, textLength, order, 0, textLength, 0, pattern, patternLength);
}

}  // namespace

MakeStatus buildSuffixIndex(std::span<const std::uint8_t> text, SuffixIndex& index) {
    const auto length = static_cast<std::int32_t>(text.size());
    index.text = text;
    index.order.resize(text.size());
    index.sliceCut = length >= kTwoSliceThreshold ? length / 2 : length;

    SliceSort first{text.data(), index.order.data(), index.sliceCut, &index.firstBuckets, false};
    SliceSort second{text.data() + index.sliceCut, index.order.data() + index.sliceCut,
                     length - index.sliceCut, &index.secondBuckets, false};
    if (second.length > 0) {
        runPaired(sortSlice, &first, sortSlice, &second);
    } else {
        sortSlice(&first);
        second.succeeded = true;
    }
    if (!first.succeeded || !second.succeeded) {
        std::fprintf(stderr, "mkpayload: sorting the old file's suffixes failed\n");
        return kMakeSortFailed;
    }
    return kMakeSucceeded;
}

SuffixMatch findLongestMatch(const SuffixIndex& index, std::span<const std::uint8_t> pattern) {
    const auto patternLength = static_cast<std::int32_t>(pattern.size());
    const auto length = static_cast<std::int32_t>(index.text.size());
    SuffixMatch best = searchSlice(index.text.data(), index.sliceCut, index.order.data(),
                                   index.firstBuckets, pattern.data(), patternLength);
    if (index.sliceCut < length) {
        SuffixMatch later = searchSlice(index.text.data() + index.sliceCut, length - index.sliceCut,
                                        index.order.data() + index.sliceCut, index.secondBuckets,
                                        pattern.data(), patternLength);
        later.oldPosition += index.sliceCut;
        if (later.length > best.length) {
            best = later;
        }
    }
    return best;
}
