#include "tools/mkpayload/difference_scan.h"

#include "tools/mkpayload/record_emission.h"

namespace {

// A fresh exact match must beat the current alignment by more than this many
// agreeing bytes before the scan leaves the alignment for it; smaller gains
// cost more in control records than they save.
constexpr std::int32_t kSwitchMargin = 8;

// While the previous exact match still reaches this far ahead, its shifted
// remainder stands in for a fresh search: the longest match one byte on is
// almost always that remainder, and searching again for it at every byte of
// a long match is what makes a plain scan slow.
constexpr std::int32_t kReuseLength = 32;

struct Files {
    std::span<const std::uint8_t> oldBytes;
    std::span<const std::uint8_t> newBytes;
    std::int32_t oldSize;
    std::int32_t newSize;
};

// True when new[newPosition] equals the old byte that the alignment `offset`
// (old position minus new position) pairs with it.
inline bool agreesAtOffset(const Files& files, std::int32_t newPosition, std::int64_t offset) {
    const std::int64_t oldPosition = newPosition + offset;
    return oldPosition >= 0 && oldPosition < files.oldSize &&
           files.oldBytes[oldPosition] == files.newBytes[newPosition];
}

// How far the previous match's alignment is worth carrying into the gap
// [lastScan, scan): the longest stretch in which more than half the bytes agree
// (best surplus of agreeing over disagreeing bytes).
std::int32_t extendForward(const Files& files, std::int32_t lastScan, std::int32_t lastPos,
                           std::int32_t scan) {
    std::int64_t agreeing = 0;
    std::int64_t bestScore = 0;
    std::int32_t best = 0;
    for (std::int32_t i = 0; lastScan + i < scan && lastPos + i < files.oldSize;) {
        if (files.oldBytes[lastPos + i] == files.newBytes[lastScan + i]) {
            ++agreeing;
        }
        ++i;
        if (agreeing * 2 - i > bestScore * 2 - best) {
            bestScore = agreeing;
            best = i;
        }
    }
    return best;
}

// The same measure backwards from the new match at (scan, matchPos).
std::int32_t extendBackward(const Files& files, std::int32_t lastScan, std::int32_t scan,
                            std::int32_t matchPos) {
    std::int64_t agreeing = 0;
    std::int64_t bestScore = 0;
    std::int32_t best = 0;
    for (std::int32_t i = 1; scan - i >= lastScan && matchPos - i >= 0; ++i) {
        if (files.oldBytes[matchPos - i] == files.newBytes[scan - i]) {
            ++agreeing;
        }
        if (agreeing * 2 - i > bestScore * 2 - best) {
            bestScore = agreeing;
            best = i;
        }
    }
    return best;
}

// When both extensions claim the same new bytes, splits the overlap where the
// forward alignment stops paying more than the backward one.
void resolveOverlap(const Files& files, std::int32_t lastScan, std::int32_t lastPos,
                    std::int32_t scan, std::int32_t matchPos, std::int32_t& forward,
                    std::int32_t& backward) {
    const std::int32_t overlap = (lastScan + forward) - (scan - backward);
    if (overlap <= 0) {
        return;
    }
    const std::int32_t forwardFrom = lastScan + forward - overlap;
    const std::int32_t forwardOld = lastPos + forward - overlap;
    const std::int32_t backwardFrom = scan - backward;
    const std::int32_t backwardOld = matchPos - backward;
    std::int32_t score = 0;
    std::int32_t bestScore = 0;
    std::int32_t keep = 0;
    for (std::int32_t i = 0; i < overlap; ++i) {
        if (files.newBytes[forwardFrom + i] == files.oldBytes[forwardOld + i]) {
            ++score;
        }
        if (files.newBytes[backwardFrom + i] == files.oldBytes[backwardOld + i]) {
            --score;
        }
        if (score > bestScore) {
            bestScore = score;
            keep = i + 1;
        }
    }
    forward += keep - overlap;
    backward -= keep;
}

}  // namespace

void scanDifference(std::span<const std::uint8_t> oldBytes, std::span<const std::uint8_t> newBytes,
                    const SuffixIndex& index, ProgressMeter& meter, Difference& difference) {
    const Files files{oldBytes, newBytes, static_cast<std::int32_t>(oldBytes.size()),
                      static_cast<std::int32_t>(newBytes.size())};
    const std::int32_t newSize = files.newSize;
    // Runs never exceed the new file; reserving keeps appends from reallocating.
    difference.dataBytes.reserve(newBytes.size());
    difference.extraBytes.reserve(newBytes.size());

    std::int32_t scan = 0;
    std::int32_t lastScan = 0;
    std::int32_t lastPos = 0;
    std::int64_t lastOffset = 0;  // old minus new position of the current alignment
    SuffixMatch match;
    while (scan < newSize) {
        // Look for the next place where an exact match beats the current
        // alignment clearly, or where the alignment itself resumes.
        std::int32_t alignedScore = 0;
        scan += match.length;
        std::int32_t scored = scan;
        bool searchedHere = false;  // `match` belongs to the previous byte
        for (; scan < newSize; ++scan) {
            if (searchedHere && match.length > kReuseLength) {
                match = {match.oldPosition + 1, match.length - 1};
            } else {
                match = findLongestMatch(index, newBytes.subspan(static_cast<std::size_t>(scan)));
            }
            searchedHere = true;
            for (; scored < scan + match.length; ++scored) {
                alignedScore += agreesAtOffset(files, scored, lastOffset) ? 1 : 0;
            }
            if ((match.length == alignedScore && match.length != 0) ||
                match.length > alignedScore + kSwitchMargin) {
                break;
            }
            alignedScore -= agreesAtOffset(files, scan, lastOffset) ? 1 : 0;
            if ((scan & 0xffff) == 0) {
                reportProgress(meter, scan, newSize);
            }
        }
        if (match.length == alignedScore && scan < newSize) {
            continue;  // the match only continues the current alignment
        }

        std::int32_t forward = extendForward(files, lastScan, lastPos, scan);
        std::int32_t backward = 0;
        if (scan < newSize) {
            backward = extendBackward(files, lastScan, scan, match.oldPosition);
            resolveOverlap(files, lastScan, lastPos, scan, match.oldPosition, forward, backward);
        }
        const std::int32_t nextOld =
            scan < newSize ? match.oldPosition - backward : lastPos + forward;
        const RecordPlan plan{lastScan, lastPos, forward, (scan - backward) - (lastScan + forward),
                              nextOld - (lastPos + forward)};
        emitRecord(oldBytes, newBytes, plan, difference);

        lastScan = scan - backward;
        lastPos = nextOld;
        lastOffset = std::int64_t{match.oldPosition} - scan;
        reportProgress(meter, scan, newSize);
    }
}
