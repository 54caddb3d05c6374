// Every way a job can fail, with its status and message, on any platform.
#include <limits>

#include "tests/engine/patch_job_fixture.h"

namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// A small well-formed job: "old.bin" holds 1..8, the output 2..9 plus "xy".
PayloadRecipe smallRecipe() {
    PayloadRecipe recipe;
    recipe.oldFile = {1, 2, 3, 4, 5, 6, 7, 8};
    recipe.records = {{8, 2, 0}};
    recipe.dataRuns = Bytes(8, 1);
    recipe.extraRuns = {'x', 'y'};
    recipe.newsize = 10;
    return recipe;
}

class PatchJobFailureTest : public PatchJobTest {
  protected:
    void SetUp() override { writeFileBytes(kInputName, smallRecipe().oldFile); }

    // A failed job shows one error, leaves no output and no staging file.
    void expectFailure(JobStatus status, JobStatus expected, const std::string& utf8Text) {
        EXPECT_EQ(status, expected);
        expectOnlyError(utf8Text);
        EXPECT_FALSE(exists(kOutputName)) << "no output after a failure before writing";
        EXPECT_EQ(readFileBytes(kInputName), smallRecipe().oldFile) << "the input is only read";
    }
};

TEST_F(PatchJobFailureTest, MissingInputNamesTheInput) {
    expectFailure(runJob(buildPayload(smallRecipe()), "lumora.ttc"), kJobInputOpenFailed,
                  "lumora.ttc が開けません.");
}

TEST_F(PatchJobFailureTest, UsersOwnTempBinSurvivesAJobThatNeverStaged) {
    writeFileBytes(kStagingName, {'k', 'e', 'e', 'p'});
    const Bytes exact = buildPayload(smallRecipe());
    EXPECT_EQ(runPatchJob(PatchPayload(exact), "absent.ttc", kOutputName), kJobInputOpenFailed);
    EXPECT_EQ(readFileBytes(kStagingName), (Bytes{'k', 'e', 'e', 'p'}));
}

struct MismatchCase {
    const char* name;
    Bytes input;
    std::int32_t oldsizeDelta;
};

TEST_F(PatchJobFailureTest, InputThatIsNotTheExpectedFileNamesTheInput) {
    const Bytes right = smallRecipe().oldFile;
    Bytes changed = right;
    changed[3] ^= 0x40;
    Bytes longer = right;
    longer.push_back(0);
    const MismatchCase cases[] = {
        {"one byte changed", changed, 0},
        {"one byte more", longer, 0},
        {"right bytes, header expects another length", right, 1},
        {"empty input", {}, 0},
    };
    for (const MismatchCase& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        writeFileBytes("font.ttc", c.input);
        const PayloadRecipe recipe = smallRecipe();
        const PayloadStreams streams = compressStreams(recipe);
        HeaderFields header = headerFor(recipe, streams);
        header.oldsize += c.oldsizeDelta;
        expectFailure(runJob(assemblePayload(header, streams), "font.ttc"), kJobInputMismatch,
                      "font.ttc のMD5が違います.");
    }
}

TEST_F(PatchJobFailureTest, InputOfTwoGibibytesIsRefusedUnread) {
    // Sparse: costs no disk, and the job must stop before reading it.
    writeFileBytes("huge.ttc", {});
    std::filesystem::resize_file("huge.ttc", std::uintmax_t{1} << 31);
    EXPECT_EQ(runJob(buildPayload(smallRecipe()), "huge.ttc"), kJobInputReadFailed);
    expectOnlyError("ファイルの読み込みに失敗.");
    EXPECT_FALSE(exists(kOutputName));
}

TEST_F(PatchJobFailureTest, StagingFileThatCannotBeCreated) {
    std::filesystem::create_directory(kStagingName);  // something not ours holds the name
    const Bytes exact = buildPayload(smallRecipe());
    const JobStatus status = runPatchJob(PatchPayload(exact), kInputName, kOutputName);
    expectFailure(status, kJobStagingCreateFailed, "一時ファイルを作れない.");
    EXPECT_TRUE(std::filesystem::is_directory(kStagingName)) << "what the job did not create stays";
    std::filesystem::remove(kStagingName);
}

TEST_F(PatchJobFailureTest, OutputThatCannotBeCreatedNamesTheOutput) {
    std::filesystem::create_directory("TavrinGothic.ttc");
    expectFailure(runJob(buildPayload(smallRecipe()), kInputName, "TavrinGothic.ttc"),
                  kJobOutputCreateFailed, "ファイル 'TavrinGothic.ttc' が作れない.");
    dialogs.clear();
    expectFailure(runJob(buildPayload(smallRecipe()), kInputName, "no-such-dir/out.ttf"),
                  kJobOutputCreateFailed, "ファイル 'no-such-dir/out.ttf' が作れない.");
}

// Damaged payloads: each must end in status 9 without reading or writing
// outside a buffer and without an output file.
struct DamageCase {
    const char* name;
    void (*damage)(HeaderFields& header, PayloadStreams& streams, PayloadRecipe& recipe);
    bool stagesBeforeFailing;
};

const DamageCase kDamageCases[] = {
    {"negative ctrlsize", [](HeaderFields& h, PayloadStreams&, PayloadRecipe&) { h.ctrlsize = -1; },
     false},
    {"negative datasize", [](HeaderFields& h, PayloadStreams&, PayloadRecipe&) { h.datasize = -5; },
     false},
    {"negative extrasize",
     [](HeaderFields& h, PayloadStreams&, PayloadRecipe&) { h.extrasize = -2147483647 - 1; },
     false},
    {"negative newsize", [](HeaderFields& h, PayloadStreams&, PayloadRecipe&) { h.newsize = -1; },
     false},
    {"stream lengths overflow 32 bits",
     [](HeaderFields& h, PayloadStreams&, PayloadRecipe&) {
         h.datasize = kInt32Max;
         h.extrasize = kInt32Max;
     },
     false},
    {"header claims one byte more than the block",
     [](HeaderFields& h, PayloadStreams&, PayloadRecipe&) { h.extrasize += 1; }, false},
    {"a data run past newsize",
     [](HeaderFields& h, PayloadStreams&, PayloadRecipe&) { h.newsize = 5; }, true},
    {"an extra run past newsize",
     [](HeaderFields& h, PayloadStreams&, PayloadRecipe&) { h.newsize = 9; }, true},
    {"control stream ends before newsize",
     [](HeaderFields& h, PayloadStreams&, PayloadRecipe&) { h.newsize = 11; }, true},
    {"data stream is not bzip2",
     [](HeaderFields&, PayloadStreams& s, PayloadRecipe&) {
         for (std::uint8_t& byte : s.data) {
             byte = 0x5a;
         }
     },
     true},
    {"extra stream cut short",
     [](HeaderFields& h, PayloadStreams& s, PayloadRecipe&) {
         // Into the compressed block itself, not only its trailer.
         const auto cut = static_cast<std::int32_t>(s.extra.size() / 2);
         s.extra.resize(s.extra.size() - static_cast<std::size_t>(cut));
         h.extrasize -= cut;
     },
     true},
    {"data and extra streams swapped",
     [](HeaderFields& h, PayloadStreams& s, PayloadRecipe&) {
         std::swap(s.data, s.extra);
         std::swap(h.datasize, h.extrasize);
     },
     true},
    {"control stream is not bzip2",
     [](HeaderFields&, PayloadStreams& s, PayloadRecipe&) {
         s.control.assign(s.control.size(), 0);
     },
     true},
};

TEST_F(PatchJobFailureTest, DamagedPayloadTable) {
    for (const DamageCase& c : kDamageCases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        std::filesystem::remove(kOutputName);
        PayloadRecipe recipe = smallRecipe();
        PayloadStreams streams = compressStreams(recipe);
        HeaderFields header = headerFor(recipe, streams);
        c.damage(header, streams, recipe);
        testing::internal::CaptureStdout();
        const JobStatus status = runJob(assemblePayload(header, streams));
        const std::string printed = testing::internal::GetCapturedStdout();
        expectFailure(status, kJobPatchReadFailed, "差分パッチデータの読み出しに失敗.");
        EXPECT_EQ(printed.find("ctrlsize: ") != std::string::npos, c.stagesBeforeFailing)
            << "printed: " << printed;
    }
}

TEST_F(PatchJobFailureTest, NegativeRunLengthIsALibraryParameterError) {
    PayloadRecipe recipe = smallRecipe();
    recipe.records = {{-1, 0, 0}};
    testing::internal::CaptureStdout();
    const JobStatus status = runJob(buildPayload(recipe));
    const std::string printed = testing::internal::GetCapturedStdout();
    expectFailure(status, kJobPatchReadFailed, "差分パッチデータの読み出しに失敗.");
    EXPECT_NE(printed.find("bzip2_read_error: -2\n"), std::string::npos) << printed;
}

TEST_F(PatchJobFailureTest, DataStreamThatIsNotBzip2ReportsTheLibraryCode) {
    PayloadRecipe recipe = smallRecipe();
    PayloadStreams streams = compressStreams(recipe);
    HeaderFields header = headerFor(recipe, streams);
    streams.data.assign(streams.data.size(), 'Q');
    testing::internal::CaptureStdout();
    const JobStatus status = runJob(assemblePayload(header, streams));
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, kJobPatchReadFailed);
    EXPECT_NE(printed.find("bzip2_read_error: -5\n"), std::string::npos) << printed;
}

TEST_F(PatchJobFailureTest, BlockShorterThanTheHeader) {
    const Bytes payload = buildPayload(smallRecipe());
    for (std::size_t length : {0u, 1u, 35u}) {
        SCOPED_TRACE(length);
        dialogs.clear();
        expectFailure(runJob(Bytes(payload.begin(), payload.begin() + length)), kJobPatchReadFailed,
                      "差分パッチデータの読み出しに失敗.");
    }
}

}  // namespace
