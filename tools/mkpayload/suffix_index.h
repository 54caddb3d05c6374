#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/mkpayload/huge_page_array.h"
#include "tools/mkpayload/make_status.h"

namespace mkpayload {

// Sorted suffixes of the old file, for finding where a piece of the new file
// occurs in it. A large file is cut in two slices that are sorted at the same
// time on two threads, which halves the sort's wall time, the largest part of
// a run; a search then looks in both slices. A slice's suffixes end at the
// slice's end, which only shortens the few matches that cross the cut (the
// scan's extensions continue them anyway).
struct SuffixSlice {
    std::int32_t start = 0;  // in the text, and in `order`
    std::int32_t length = 0;
    // Where the slice's suffixes that begin with each two-byte prefix start
    // in its part of `order` (65537 entries), so that a search begins inside
    // its prefix's range instead of the whole slice.
    std::vector<std::int32_t> buckets;
};

struct SuffixIndex {
    std::span<const std::uint8_t> text;
    HugePageArray order;  // per slice, positions relative to the slice, sorted
    SuffixSlice slices[2];
    int sliceCount = 0;
};

struct SuffixMatch {
    std::int32_t oldPosition = 0;
    std::int32_t length = 0;
};

// Sorts the suffixes of `text` (which must outlive `index`).
MakeStatus buildSuffixIndex(std::span<const std::uint8_t> text, SuffixIndex& index);

// The longest prefix of `pattern` that occurs in the indexed text, and where.
// Among the places that give the same length it prefers the one nearest to
// `preferredPosition`. Length 0 when nothing matches (position 0 then).
SuffixMatch findLongestMatch(const SuffixIndex& index, std::span<const std::uint8_t> pattern,
                             std::int64_t preferredPosition);

}  // namespace mkpayload
