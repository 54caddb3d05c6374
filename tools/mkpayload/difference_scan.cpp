#include "tools/mkpayload/difference_scan.h"

#include <algorithm>

#include "tools/mkpayload/common_prefix.h"
#include "tools/mkpayload/record_emission.h"

namespace mkpayload {

namespace {

// A fresh exact match must beat the current alignment by more than this many
// agreeing bytes before the scan leaves the alignment for it; smaller gains
// cost more in control records than they save.
constexpr std::int32_t kSwitchMargin = 8;

// While the previous exact match still reaches this far ahead, its shifted
// remainder stands in for a fresh search: the longest match a few bytes on is
// almost always that remainder, and searching again for it at every byte of
// a long match is what makes a plain scan slow.
constexpr std::int32_t kReuseLength = 32;

// A run of this many bytes on which the current alignment agrees is taken as
// the alignment continuing, without a search; so is such a run that resumes
// within kResumeWindow bytes of a disagreement (a changed byte inside a
// matching region). A better match that starts there would have to beat the
// alignment by kSwitchMargin anyway, which a run this close to it rarely
// allows.
constexpr std::int32_t kTrustedRun = 8;
constexpr std::int32_t kResumeWindow = 8;

// Where the best match found is shorter than this, nothing worth a record
// starts here, and the search moves on kShortMatchStep bytes: any match long
// enough to beat the margin is still met a few bytes into it, and the
// backward extension recovers the bytes stepped over.
constexpr std::int32_t kShortMatch = 8;
constexpr std::int32_t kShortMatchStep = 4;

struct Files {
    std::span<const std::uint8_t> oldBytes;
    std::span<const std::uint8_t> newBytes;  // up to the part's end
    std::int32_t oldSize;
    std::int32_t newSize;  // the part's end
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

// Looks for the current alignment continuing at `scan`: a trusted run there,
// or one that resumes within the window. Returns the run (and moves `scan` to
// it), or a match of length 0 when the alignment does not continue.
SuffixMatch continuingRun(const Files& files, std::int32_t& scan, std::int64_t offset) {
    const std::int64_t at = scan + offset;
    if (at < 0 || at >= files.oldSize) {
        return {};
    }
    const auto room =
        static_cast<std::int32_t>(std::min<std::int64_t>(files.newSize - scan, files.oldSize - at));
    const std::uint8_t* newAt = files.newBytes.data() + scan;
    const std::uint8_t* oldAt = files.oldBytes.data() + at;
    for (std::int32_t skip = 0; skip <= kResumeWindow && skip + kTrustedRun <= room; ++skip) {
        if (newAt[skip] != oldAt[skip]) {
            continue;
        }
        const std::int32_t run = commonPrefixLength(newAt + skip, oldAt + skip, room - skip);
        if (run >= kTrustedRun) {
            scan += skip;
            return {static_cast<std::int32_t>(at + skip), run};
        }
        skip += run;  // the run is too short; the next candidate starts after it
    }
    return {};
}

}  // namespace

std::int32_t scanStartOld(std::int32_t oldSize, ScanPart part) {
    return std::min(part.begin, oldSize);
}

void scanDifference(std::span<const std::uint8_t> oldBytes, std::span<const std::uint8_t> newBytes,
                    ScanPart part, const SuffixIndex& index, ProgressMeter* meter,
                    Difference& difference) {
    const Files files{oldBytes, newBytes.first(static_cast<std::size_t>(part.end)),
                      static_cast<std::int32_t>(oldBytes.size()), part.end};
    const std::int32_t newSize = files.newSize;
    // Runs never exceed the part; reserving keeps appends from reallocating.
    const auto partSize = static_cast<std::size_t>(part.end - part.begin);
    difference.dataBytes.reserve(partSize);
    difference.extraBytes.reserve(partSize);

    std::int32_t scan = part.begin;
    std::int32_t lastScan = part.begin;
    std::int32_t lastPos = scanStartOld(files.oldSize, part);
    std::int64_t lastOffset = std::int64_t{lastPos} - lastScan;  // old minus new position
    SuffixMatch match;
    while (scan < newSize) {
        // Look for the next place where an exact match beats the current
        // alignment clearly, or where the alignment itself resumes.
        std::int32_t alignedScore = 0;
        scan += match.length;
        std::int32_t scored = scan;   // alignedScore counts agreement over [scan, scored)
        bool searchedBefore = false;  // `match` belongs to an earlier position
        std::int32_t step = 1;
        for (; scan < newSize; scan += step) {
            if (const SuffixMatch run = continuingRun(files, scan, lastOffset); run.length != 0) {
                match = run;
                alignedScore = run.length;
                break;
            }
            if (searchedBefore && match.length > kReuseLength + step) {
                match = {match.oldPosition + step, match.length - step};
            } else {
                match =
                    findLongestMatch(index, files.newBytes.subspan(static_cast<std::size_t>(scan)),
                                     scan + lastOffset);
            }
            searchedBefore = true;
            scored = std::max(scored, scan);
            for (; scored < scan + match.length; ++scored) {
                alignedScore += agreesAtOffset(files, scored, lastOffset) ? 1 : 0;
            }
            if ((match.length == alignedScore && match.length != 0) ||
                match.length > alignedScore + kSwitchMargin) {
                break;
            }
            step = std::min(match.length < kShortMatch ? kShortMatchStep : 1, newSize - scan);
            for (std::int32_t i = 0; i < step && scan + i < scored; ++i) {
                alignedScore -= agreesAtOffset(files, scan + i, lastOffset) ? 1 : 0;
            }
            if (meter != nullptr && (scan & 0xffff) < step) {
                reportProgress(*meter, scan, newSize);
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
        if (meter != nullptr) {
            reportProgress(*meter, scan, newSize);
        }
    }
}

}  // namespace mkpayload
