#include "tools/mkpayload/suffix_index.h"

#include <divsufsort.h>

#include <algorithm>
#include <cstdio>

#include "tools/mkpayload/common_prefix.h"
#include "tools/mkpayload/paired_work.h"

namespace mkpayload {
namespace {

// Below this size one sort is fast enough that a second thread does not pay.
constexpr std::int32_t kTwoSliceThreshold = 1 << 20;
constexpr std::size_t kPrefixCount = 1 << 16;

// How many equally long neighbours on each side of the search's result are
// weighed against the preferred position; a few suffice, since the preferred
// one, if it matches at all, sorts next to the pattern.
constexpr std::int32_t kTieWindow = 8;

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

struct SearchView {
    const std::uint8_t* text;
    std::int32_t textLength;
    const std::int32_t* order;
    const std::uint8_t* pattern;
    std::int32_t patternLength;
};

inline std::int64_t distance(std::int64_t position, std::int64_t preferred) {
    return position > preferred ? position - preferred : preferred - position;
}

// True when the suffix at order[rank] begins with the pattern's first
// `length` bytes.
inline bool sharesPrefix(const SearchView& view, std::int32_t rank, std::int32_t length) {
    const std::int32_t start = view.order[rank];
    return view.textLength - start >= length &&
           commonPrefixLength(view.text + start, view.pattern, length) == length;
}

// The suffixes that share the match's length with the pattern lie next to
// each other around `rank`; picks the one nearest to `preferred`.
SuffixMatch nearestTie(const SearchView& view, std::int32_t rank, std::int32_t length,
                       std::int32_t rangeStart, std::int32_t rangeEnd, std::int64_t preferred) {
    SuffixMatch best{view.order[rank], length};
    std::int64_t bestDistance = distance(best.oldPosition, preferred);
    for (std::int32_t step = 1; step <= kTieWindow && bestDistance != 0; ++step) {
        const std::int32_t below = rank - step;
        const std::int32_t above = rank + step;
        bool any = false;
        for (const std::int32_t candidate : {below, above}) {
            if (candidate < rangeStart || candidate >= rangeEnd ||
                !sharesPrefix(view, candidate, length)) {
                continue;
            }
            any = true;
            if (const std::int64_t d = distance(view.order[candidate], preferred);
                d < bestDistance) {
                best.oldPosition = view.order[candidate];
                bestDistance = d;
            }
        }
        if (!any) {
            break;
        }
    }
    return best;
}

// Binary search over order[rangeStart, rangeEnd) for the insertion point of
// the pattern; the longest match is one of the two neighbours there. The
// common prefix already known for both bounds is skipped at each probe.
SuffixMatch searchRange(const SearchView& view, std::int32_t rangeStart, std::int32_t rangeEnd,
                        std::int32_t shared, std::int64_t preferred) {
    // order[low] < pattern <= order[high]; the range's ends stand for bounds
    // that share `shared` bytes with the pattern.
    std::int32_t low = rangeStart - 1;
    std::int32_t high = rangeEnd;
    std::int32_t lowCommon = shared;
    std::int32_t highCommon = shared;
    while (high - low > 1) {
        const std::int32_t middle = low + (high - low) / 2;
        const std::int32_t start = view.order[middle];
        const std::int32_t suffixLength = view.textLength - start;
        const std::int32_t known = std::min(lowCommon, highCommon);
        const std::int32_t limit = std::min(suffixLength, view.patternLength);
        const std::int32_t common = known + commonPrefixLength(view.text + start + known,
                                                               view.pattern + known, limit - known);
        const bool suffixBelow =
            common < view.patternLength &&
            (common == suffixLength || view.text[start + common] < view.pattern[common]);
        if (suffixBelow) {
            low = middle;
            lowCommon = common;
        } else {
            high = middle;
            highCommon = common;
        }
    }
    std::int32_t rank = -1;
    std::int32_t length = 0;
    if (low >= rangeStart && (high >= rangeEnd || lowCommon >= highCommon)) {
        rank = low;
        length = lowCommon;
    } else if (high < rangeEnd) {
        rank = high;
        length = highCommon;
    }
    if (rank < 0 || length == 0) {
        return {};
    }
    return nearestTie(view, rank, length, rangeStart, rangeEnd, preferred);
}

SuffixMatch searchSlice(const std::uint8_t* text, std::int32_t textLength,
                        const std::int32_t* order, const std::vector<std::int32_t>& buckets,
                        std::span<const std::uint8_t> pattern, std::int64_t preferred) {
    const SearchView view{text, textLength, order, pattern.data(),
                          static_cast<std::int32_t>(pattern.size())};
    if (view.patternLength >= 2 && view.textLength >= 2) {
        const std::size_t prefix = prefixOf(view.pattern);
        std::int32_t start = buckets[prefix];
        const std::int32_t end = buckets[prefix + 1];
        if (start < end && view.order[start] == view.textLength - 1) {
            ++start;  // the one-byte suffix, which lacks the second byte
        }
        if (start < end) {
            return searchRange(view, start, end, 2, preferred);
        }
    }
    return searchRange(view, 0, view.textLength, 0, preferred);
}

}  // namespace

MakeStatus buildSuffixIndex(std::span<const std::uint8_t> text, SuffixIndex& index) {
    const auto length = static_cast<std::int32_t>(text.size());
    index.text = text;
    // Left uninitialised: the sort writes every entry.
    index.order = makeHugePageArray(text.size());
    if (!index.order) {
        std::fprintf(stderr, "mkpayload: out of memory for the old file's suffixes\n");
        return kMakeOutOfMemory;
    }
    const std::int32_t cut = length >= kTwoSliceThreshold ? length / 2 : length;
    index.slices[0].start = 0;
    index.slices[0].length = cut;
    index.slices[1].start = cut;
    index.slices[1].length = length - cut;
    index.sliceCount = cut < length ? 2 : 1;

    bool sorted[2] = {true, true};
    auto sortSlice = [&](int which) {
        SuffixSlice& slice = index.slices[which];
        const std::uint8_t* sliceText = text.data() + slice.start;
        sorted[which] = slice.length == 0 ||
                        divsufsort(sliceText, index.order.get() + slice.start, slice.length) == 0;
        countBuckets(sliceText, slice.length, slice.buckets);
    };
    if (index.sliceCount == 2) {
        auto sortFirst = [&] { sortSlice(0); };
        auto sortSecond = [&] { sortSlice(1); };
        runBoth(sortSecond, sortFirst);
    } else {
        sortSlice(0);
    }
    if (!sorted[0] || !sorted[1]) {
        std::fprintf(stderr, "mkpayload: sorting the old file's suffixes failed\n");
        return kMakeSortFailed;
    }
    return kMakeSucceeded;
}

SuffixMatch findLongestMatch(const SuffixIndex& index, std::span<const std::uint8_t> pattern,
                             std::int64_t preferredPosition) {
    SuffixMatch best;
    std::int64_t bestDistance = 0;
    for (int which = 0; which < index.sliceCount; ++which) {
        const SuffixSlice& slice = index.slices[which];
        SuffixMatch found = searchSlice(index.text.data() + slice.start, slice.length,
                                        index.order.get() + slice.start, slice.buckets, pattern,
                                        preferredPosition - slice.start);
        found.oldPosition += slice.start;
        const std::int64_t foundDistance = distance(found.oldPosition, preferredPosition);
        if (which == 0 || found.length > best.length ||
            (found.length == best.length && foundDistance < bestDistance)) {
            best = found;
            bestDistance = foundDistance;
        }
    }
    return best;
}

}  // namespace mkpayload
