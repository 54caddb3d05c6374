#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/mkpayload/make_status.h"

// Sorted suffixes of the old file, for finding where a piece of the new file
// occurs in it. Large files are cut in two slices that are sorted at the same
// time; each slice's suffixes end at the slice's end, which only shortens the
// few matches that cross the cut (the scan continues them anyway).
struct SuffixIndex {
    std::span<const std::uint8_t> text;
    std::vector<std::int32_t> order;  // per slice, positions relative to the slice
    std::int32_t sliceCut = 0;        // second slice starts here; equal to the size if one
    // Per slice, where the suffixes that begin with each two-byte prefix start
    // in `order` (65537 entries, relative to the slice), so that a search
    // begins inside its prefix's range instead of the whole slice.
    std::vector<std::int32_t> firstBuckets;
    std::vector<std::int32_t> secondBuckets;
};

struct SuffixMatch {
    std::int32_t oldPosition = 0;
    std::int32_t length = 0;
};

// Sorts the suffixes of `text` (which must outlive `index`).
MakeStatus buildSuffixIndex(std::span<const std::uint8_t> text, SuffixIndex& index);

// The longest prefix of `pattern` that occurs in the indexed text, and where.
// Length 0 when nothing matches (position 0 then).
SuffixMatch findLongestMatch(const SuffixIndex& index, std::span<const std::uint8_t> pattern);
