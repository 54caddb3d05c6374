// Every seed of fuzz/corpus against the fuzzer's fixed input, with the status
// it must give and the checks the fuzzer makes after each run. The seeds carry
// the fixed input's true length and digest, so no header is patched here.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "engine/patch_job.h"
#include "engine/payload_header.h"
#include "fuzz/fixed_input.h"
#include "tests/support/dialog_recorder.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/test_files.h"

namespace {

namespace fs = std::filesystem;

struct SeedCase {
    const char* name;
    JobStatus status;
};

constexpr SeedCase kSeeds[] = {
    {"claims_2gib", kJobPatchReadFailed},
    {"claims_more_than_block", kJobPatchReadFailed},
    {"control_ends_early", kJobPatchReadFailed},
    {"control_not_whole_records", kJobPatchReadFailed},
    {"data_not_bzip2", kJobPatchReadFailed},
    {"data_short", kJobPatchReadFailed},
    {"datalen_past_newsize", kJobPatchReadFailed},
    {"edits", kJobSucceeded},
    {"empty_output", kJobSucceeded},
    {"extra_only", kJobSucceeded},
    {"extra_short", kJobPatchReadFailed},
    {"extralen_past_newsize", kJobPatchReadFailed},
    {"flipped_control_bit", kJobPatchReadFailed},
    {"header_only", kJobSucceeded},
    {"huge_negative_oldseek", kJobSucceeded},
    {"huge_oldseek", kJobSucceeded},
    {"identity", kJobSucceeded},
    {"identity_bzh1", kJobSucceeded},
    {"maker_byte_changes", kJobSucceeded},
    {"maker_grown", kJobSucceeded},
    {"maker_insert_delete", kJobSucceeded},
    {"maker_shrunk", kJobSucceeded},
    {"min_int_lengths", kJobPatchReadFailed},
    {"moves_only", kJobSucceeded},
    {"negative_ctrlsize", kJobPatchReadFailed},
    {"negative_datalen", kJobPatchReadFailed},
    {"negative_extralen", kJobPatchReadFailed},
    {"negative_newsize", kJobPatchReadFailed},
    {"runs_outside_input", kJobSucceeded},
    {"seek_to_last_byte", kJobSucceeded},
    {"shifted_offsets", kJobPatchReadFailed},
    {"short_header", kJobPatchReadFailed},
    {"sum_past_newsize", kJobPatchReadFailed},
    {"swapped_control_data", kJobPatchReadFailed},
    {"swapped_data_extra", kJobPatchReadFailed},
    {"truncated_block", kJobPatchReadFailed},
    {"truncated_control", kJobPatchReadFailed},
    {"truncated_data", kJobPatchReadFailed},
    {"truncated_extra", kJobPatchReadFailed},
    {"two_extra_streams", kJobPatchReadFailed},
};

const fs::path kCorpus = TAVRIN_FUZZ_CORPUS_DIR;

class FuzzCorpusTest : public testing::TestWithParam<SeedCase> {};

TEST_P(FuzzCorpusTest, GivesItsStatusAndLeavesNothingBehind) {
    const SeedCase& seed = GetParam();
    // Read before the scratch directory becomes the current one; the block
    // is exactly as long as the seed, as in the fuzzer.
    const Bytes payload = readFileBytes(kCorpus / seed.name);
    ASSERT_FALSE(payload.empty()) << seed.name;
    ScratchDirectory scratch;
    writeFileBytes("input.bin", makeFixedInput());
    DialogRecorder dialogs;

    const JobStatus status = runPatchJob(PatchPayload(payload), "input.bin", "output.bin");

    EXPECT_EQ(status, seed.status);
    EXPECT_EQ(dialogs.dialogs().size(), status == kJobSucceeded ? 0u : 1u);
    EXPECT_FALSE(fs::exists("temp.bin"));
    EXPECT_EQ(fs::exists("output.bin"), status == kJobSucceeded);
    if (status == kJobSucceeded) {
        PayloadHeader header;
        ASSERT_TRUE(readPayloadHeader(PatchPayload(payload), header));
        EXPECT_EQ(fs::file_size("output.bin"), static_cast<std::uintmax_t>(header.newsize));
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, FuzzCorpusTest, testing::ValuesIn(kSeeds),
                         [](const testing::TestParamInfo<SeedCase>& info) {
                             return std::string(info.param.name);
                         });

// A seed added to the corpus must be given its status here too.
TEST(FuzzCorpus, EverySeedHasAnExpectedStatus) {
    std::set<std::string> listed;
    for (const SeedCase& seed : kSeeds) {
        listed.insert(seed.name);
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(kCorpus)) {
        EXPECT_TRUE(listed.contains(entry.path().filename().string())) << entry.path().filename();
    }
}

}  // namespace
