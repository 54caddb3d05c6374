// mkpayload then runPatchJob must give back the new file byte for byte, with
// a container and records that obey the format's rules.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "engine/patch_job.h"
#include "tests/mkpayload/payload_inspection.h"
#include "tests/mkpayload/tool_run.h"
#include "tests/support/dialog_recorder.h"
#include "tests/support/payload_builder.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/test_files.h"

namespace {

namespace fs = std::filesystem;

struct FilePair {
    Bytes oldFile;
    Bytes newFile;
};

// Low-entropy bytes with many repeats, like a font's tables: words from a
// small seeded vocabulary, so that matches have many equal candidates.
Bytes wordyBytes(std::size_t count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<Bytes> words;
    for (int i = 0; i < 64; ++i) {
        words.push_back(seededBytes(3 + random() % 12, seed * 131 + i));
    }
    Bytes bytes;
    bytes.reserve(count + 16);
    while (bytes.size() < count) {
        const Bytes& word = words[random() % words.size()];
        bytes.insert(bytes.end(), word.begin(), word.end());
    }
    bytes.resize(count);
    return bytes;
}

Bytes withInsertions(const Bytes& base, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes result = base;
    for (int i = 0; i < 20; ++i) {
        const Bytes piece = seededBytes(1 + random() % 3000, seed + 1000 + i);
        const std::size_t at = random() % (result.size() + 1);
        result.insert(result.begin() + static_cast<std::ptrdiff_t>(at), piece.begin(), piece.end());
    }
    return result;
}

Bytes withDeletions(const Bytes& base, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes result = base;
    for (int i = 0; i < 20 && result.size() > 4000; ++i) {
        const std::size_t length = 1 + random() % 3000;
        const std::size_t at = random() % (result.size() - length);
        result.erase(result.begin() + static_cast<std::ptrdiff_t>(at),
                     result.begin() + static_cast<std::ptrdiff_t>(at + length));
    }
    return result;
}

// Cuts the file in blocks of varied length and puts them in a shuffled order.
Bytes withMovedBlocks(const Bytes& base, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::pair<std::size_t, std::size_t>> blocks;
    for (std::size_t at = 0; at < base.size();) {
        const std::size_t length = std::min<std::size_t>(500 + random() % 20000, base.size() - at);
        blocks.emplace_back(at, length);
        at += length;
    }
    std::shuffle(blocks.begin(), blocks.end(), random);
    Bytes result;
    for (const auto& [at, length] : blocks) {
        result.insert(result.end(), base.begin() + static_cast<std::ptrdiff_t>(at),
                      base.begin() + static_cast<std::ptrdiff_t>(at + length));
    }
    return result;
}

Bytes withScatteredChanges(const Bytes& base, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes result = base;
    for (std::size_t i = 0; i < result.size() / 300; ++i) {
        result[random() % result.size()] += static_cast<std::uint8_t>(1 + random() % 255);
    }
    return result;
}

Bytes readInstalled(const char* path) {
    return fs::exists(path) ? readFileBytes(path) : Bytes();
}

struct RoundTripCase {
    const char* name;
    FilePair (*make)();
    // Similar pairs must come out much smaller than the new file; this catches
    // a scan that stops finding matches and ships everything as extra bytes.
    bool expectSmallPayload;
};

constexpr std::uint32_t kSeed = 20240611;

const RoundTripCase kCases[] = {
    {"identical_files",
     [] {
         const Bytes same = wordyBytes(300000, kSeed);
         return FilePair{same, same};
     },
     true},
    {"empty_old",
     [] {
         return FilePair{{}, seededBytes(70000, kSeed)};
     },
     false},
    {"empty_new",
     [] {
         return FilePair{seededBytes(70000, kSeed), {}};
     },
     false},
    {"both_empty",
     [] {
         return FilePair{{}, {}};
     },
     false},
    {"single_bytes",
     [] {
         return FilePair{{0x41}, {0x42}};
     },
     false},
    {"insertions",
     [] {
         const Bytes base = wordyBytes(400000, kSeed + 1);
         return FilePair{base, withInsertions(base, kSeed + 2)};
     },
     true},
    {"deletions",
     [] {
         const Bytes base = wordyBytes(400000, kSeed + 3);
         return FilePair{base, withDeletions(base, kSeed + 4)};
     },
     true},
    {"moved_blocks",
     [] {
         const Bytes base = seededBytes(400000, kSeed + 5);
         return FilePair{base, withMovedBlocks(base, kSeed + 6)};
     },
     true},
    {"scattered_byte_changes",
     [] {
         const Bytes base = seededBytes(400000, kSeed + 7);
         return FilePair{base, withScatteredChanges(base, kSeed + 8)};
     },
     true},
    // Above the size at which the old file is sorted in two slices, with
    // blocks moved across the cut.
    {"large_old_moved_and_changed",
     [] {
         const Bytes base = wordyBytes(3 << 20, kSeed + 9);
         return FilePair{base, withScatteredChanges(withMovedBlocks(base, kSeed + 10), kSeed + 11)};
     },
     true},
    // A new file large enough to be scanned as two halves on two threads,
    // the second starting beyond the end of the small old file.
    {"small_old_large_new",
     [] {
         const Bytes base = wordyBytes(300000, kSeed + 14);
         Bytes grown;
         for (std::uint32_t copy = 0; copy < 7; ++copy) {
             const Bytes changed = withScatteredChanges(base, kSeed + 15 + copy);
             grown.insert(grown.end(), changed.begin(), changed.end());
         }
         return FilePair{base, grown};
     },
     true},
    {"unrelated_files",
     [] {
         return FilePair{seededBytes(100000, kSeed + 12), seededBytes(120000, kSeed + 13)};
     },
     false},
    {"ipa_gothic_to_proportional",
     [] {
         return FilePair{readInstalled("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"),
                         readInstalled("/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf")};
     },
     true},
    {"ipa_mincho_to_proportional",
     [] {
         return FilePair{readInstalled("/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf"),
                         readInstalled("/usr/share/fonts/opentype/ipafont-mincho/ipamp.ttf")};
     },
     true},
};

class RoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, PatchJobRebuildsTheNewFile) {
    const RoundTripCase& testCase = GetParam();
    const FilePair pair = testCase.make();
    if (std::string(testCase.name).starts_with("ipa_") && pair.oldFile.empty()) {
        GTEST_SKIP() << "Debian's IPA fonts are not installed (scripts/bootstrap)";
    }
    ScratchDirectory scratch;
    writeFileBytes("old.bin", pair.oldFile);
    writeFileBytes("new.bin", pair.newFile);

    const ToolRun run = runMkpayload({"old.bin", "new.bin", "payload.bin"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardError, "");

    const Bytes payload = readFileBytes("payload.bin");
    InspectedPayload inspected;
    ASSERT_EQ(inspectPayload(payload, inspected), "");
    EXPECT_EQ(checkRecordInvariants(inspected, static_cast<std::int64_t>(pair.newFile.size())), "");
    EXPECT_EQ(inspected.oldsize, static_cast<std::int32_t>(pair.oldFile.size()));
    std::uint8_t digest[16];
    digestOf(pair.oldFile, digest);
    EXPECT_EQ(std::memcmp(inspected.oldmd5, digest, 16), 0);
    if (pair.newFile.empty()) {
        EXPECT_TRUE(inspected.records.empty());
    }
    if (testCase.expectSmallPayload) {
        EXPECT_LT(payload.size(), pair.newFile.size() / 4);
    }

    DialogRecorder dialogs;
    const JobStatus status = runPatchJob(payload, "old.bin", "rebuilt.bin");
    EXPECT_EQ(status, kJobSucceeded);
    EXPECT_TRUE(dialogs.dialogs().empty());
    const Bytes rebuilt = readFileBytes("rebuilt.bin");
    ASSERT_EQ(rebuilt.size(), pair.newFile.size());
    EXPECT_TRUE(rebuilt == pair.newFile) << "rebuilt file differs from the new file";
}

INSTANTIATE_TEST_SUITE_P(Cases, RoundTrip, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<RoundTripCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
