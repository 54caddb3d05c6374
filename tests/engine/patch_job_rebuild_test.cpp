// How the job rebuilds the output from the input and the three streams.
#include <limits>

#include "tests/engine/patch_job_fixture.h"

namespace {

constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

struct RebuildCase {
    const char* name;
    Bytes oldFile;
    std::vector<ControlRecord> records;
    Bytes dataRuns;
    Bytes extraRuns;
    Bytes expected;
};

const RebuildCase kRebuildCases[] = {
    {"data bytes are added to old bytes modulo 256",
     {0xf0, 0x01, 0x80},
     {{3, 0, 0}},
     {0x20, 0xff, 0x80},
     {},
     {0x10, 0x00, 0x00}},
    {"extra bytes are copied unchanged", {1, 2}, {{0, 3, 0}}, {}, {7, 8, 9}, {7, 8, 9}},
    {"data then extra in one record",
     {5, 6, 7},
     {{2, 2, 0}},
     {1, 1},
     {0xaa, 0xbb},
     {6, 7, 0xaa, 0xbb}},
    {"negative oldseek moves back over the input",
     {10, 20, 30, 40},
     {{2, 0, -2}, {2, 0, 0}},
     {1, 1, 2, 2},
     {},
     {11, 21, 12, 22}},
    {"a (0, 0, n) record only moves the old position",
     {10, 20, 30, 40},
     {{0, 0, 3}, {1, 0, 0}},
     {5},
     {},
     {45}},
    {"a run that starts before the input keeps those bytes as decoded",
     {10, 20, 30},
     {{0, 0, -2}, {5, 0, 0}},
     {1, 1, 1, 1, 1},
     {},
     {1, 1, 11, 21, 31}},
    {"a run that goes past the end of the input keeps those bytes as decoded",
     {10, 20, 30},
     {{0, 0, 1}, {4, 0, 0}},
     {1, 1, 1, 1},
     {},
     {21, 31, 1, 1}},
    {"seeks of plus and minus 2^31 leave the input without overflowing",
     {10, 20},
     {{1, 0, kInt32Min}, {1, 0, kInt32Max}, {1, 0, kInt32Max}, {1, 0, kInt32Max}, {1, 0, 0}},
     {1, 2, 3, 4, 5},
     {},
     {11, 2, 23, 4, 5}},
    {"runs over an empty input are stored as decoded",
     {},
     {{2, 1, -7}, {1, 0, 0}},
     {3, 4, 6},
     {5},
     {3, 4, 5, 6}},
    {"the last record may end in an extra run",
     {9, 9},
     {{1, 0, 0}, {0, 2, 0}},
     {1},
     {4, 4},
     {10, 4, 4}},
    {"an empty output reads no record", {1, 2, 3}, {}, {}, {}, {}},
};

TEST_F(PatchJobTest, RebuildTable) {
    for (const RebuildCase& c : kRebuildCases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(kInputName, c.oldFile);
        std::filesystem::remove(kOutputName);
        PayloadRecipe recipe{c.oldFile, c.records, c.dataRuns, c.extraRuns,
                             static_cast<std::int32_t>(c.expected.size())};
        EXPECT_EQ(runJob(buildPayload(recipe)), kJobSucceeded);
        EXPECT_EQ(readFileBytes(kOutputName), c.expected);
        EXPECT_TRUE(dialogs.dialogs().empty());
        EXPECT_EQ(readFileBytes(kInputName), c.oldFile) << "the input is only read";
    }
}

TEST_F(PatchJobTest, LargerRebuildMatchesAReferenceWalk) {
    // Many records over a few hundred kilobytes, checked against a plain
    // re-implementation of the walk.
    const Bytes oldFile = seededBytes(300000, 1);
    PayloadRecipe recipe;
    recipe.oldFile = oldFile;
    const Bytes dataSource = seededBytes(400000, 2);
    const Bytes extraSource = seededBytes(400000, 3);
    Bytes expected;
    std::int64_t oldPosition = 0;
    std::size_t dataUsed = 0;
    std::size_t extraUsed = 0;
    std::uint32_t state = 12345;
    for (int record = 0; record < 2000; ++record) {
        state = state * 1103515245u + 12345u;
        const std::int32_t datalen = static_cast<std::int32_t>(state >> 25);
        const std::int32_t extralen = static_cast<std::int32_t>((state >> 16) & 0x3f);
        const std::int32_t oldseek = static_cast<std::int32_t>(state % 4001) - 2000;
        recipe.records.push_back({datalen, extralen, oldseek});
        for (std::int32_t i = 0; i < datalen; ++i) {
            std::uint8_t byte = dataSource[dataUsed++];
            recipe.dataRuns.push_back(byte);
            const std::int64_t at = oldPosition + i;
            if (at >= 0 && at < static_cast<std::int64_t>(oldFile.size())) {
                byte = static_cast<std::uint8_t>(byte + oldFile[static_cast<std::size_t>(at)]);
            }
            expected.push_back(byte);
        }
        oldPosition += datalen;
        for (std::int32_t i = 0; i < extralen; ++i) {
            recipe.extraRuns.push_back(extraSource[extraUsed]);
            expected.push_back(extraSource[extraUsed++]);
        }
        oldPosition += oldseek;
    }
    recipe.newsize = static_cast<std::int32_t>(expected.size());
    writeFileBytes(kInputName, oldFile);
    EXPECT_EQ(runJob(buildPayload(recipe)), kJobSucceeded);
    EXPECT_EQ(readFileBytes(kOutputName), expected);
}

TEST_F(PatchJobTest, EmptyInputMatchesAPayloadForAnEmptyInput) {
    writeFileBytes(kInputName, {});
    PayloadRecipe recipe{{}, {{0, 2, 0}}, {}, {'o', 'k'}, 2};
    EXPECT_EQ(runJob(buildPayload(recipe)), kJobSucceeded);
    EXPECT_EQ(readFileBytes(kOutputName), (Bytes{'o', 'k'}));
}

TEST_F(PatchJobTest, ReplacesAnExistingOutput) {
    writeFileBytes(kInputName, {1, 2, 3});
    writeFileBytes(kOutputName, seededBytes(1000, 9));
    PayloadRecipe recipe{{1, 2, 3}, {{3, 0, 0}}, {1, 1, 1}, {}, 3};
    EXPECT_EQ(runJob(buildPayload(recipe)), kJobSucceeded);
    EXPECT_EQ(readFileBytes(kOutputName), (Bytes{2, 3, 4}));
}

TEST_F(PatchJobTest, PayloadBlockLongerThanItsStreamsIsFine) {
    writeFileBytes(kInputName, {1});
    PayloadRecipe recipe{{1}, {{1, 0, 0}}, {1}, {}, 1};
    Bytes payload = buildPayload(recipe);
    payload.resize(payload.size() + 100, 0xee);  // the header, not the block, decides
    EXPECT_EQ(runJob(payload), kJobSucceeded);
    EXPECT_EQ(readFileBytes(kOutputName), (Bytes{2}));
}

TEST_F(PatchJobTest, ReportsTheStreamSizesOnStandardOutput) {
    writeFileBytes(kInputName, {1});
    PayloadRecipe recipe{{1}, {{1, 0, 0}}, {1}, {}, 1};
    const PayloadStreams streams = compressStreams(recipe);
    const Bytes payload = assemblePayload(headerFor(recipe, streams), streams);
    testing::internal::CaptureStdout();
    const JobStatus status = runJob(payload);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, kJobSucceeded);
    char expected[128];
    std::snprintf(expected, sizeof expected, "ctrlsize: 0x%x\ndatasize: 0x%x\nextrasize: 0x%x\n",
                  static_cast<unsigned>(streams.control.size()),
                  static_cast<unsigned>(streams.data.size()),
                  static_cast<unsigned>(streams.extra.size()));
    EXPECT_EQ(printed, expected);
}

}  // namespace
