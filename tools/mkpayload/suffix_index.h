#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/mkpayload/huge_page_array.h"
#include "tools/mkpayload/make_status.h"

namespace mkpayload {

// Sorted suffixes of the old file, for finding where a piece of the new file
// occurs in it. One array over the whole file, so that each search is one
// binary search.
struct SuffixIndex {
    std::span<const std::uint8_t> text;
    HugePageArray order;  // suffix start positions, in sorted order
    // Where the suffixes that begin with each two-byte prefix start in
    // `order` (65537 entries), so that a search begins inside its prefix's
    // range instead of the whole array.
    std::vector<std::int32_t> buckets;
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
