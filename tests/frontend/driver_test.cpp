// The driver over injected payloads and jobs, with both programs' tables.
#include "frontend/driver.h"

#include <gtest/gtest.h>

#include "programs/console_gen/job_table.h"
#include "programs/gothic_gen/job_table.h"
#include "tests/frontend/driver_fakes.h"
#include "tests/support/cp932.h"
#include "tests/support/dialog_recorder.h"
#include "tests/support/scratch_directory.h"

namespace {

constexpr std::uint8_t kAscendingDigest[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                               0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
constexpr std::uint8_t kDescendingDigest[16] = {0xff, 0xee, 0xdd, 0xcc, 0xbb, 0xaa, 0x99, 0x88,
                                                0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 0x00};

class DriverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        driverFakes() = DriverFakes{};
        driverFakes().payloads[101] = headerOnlyPayload(8123456, kAscendingDigest);
        driverFakes().payloads[102] = headerOnlyPayload(7800000, kDescendingDigest);
        driverFakes().payloads[103] = headerOnlyPayload(8123456, kAscendingDigest);
    }

    int runGothic() { return runGenerator(gothicGenProgram(), fakeServices()); }

    void expectDialog(std::size_t index, const char* utf8Title, MessageIcon icon,
                      const std::string& utf8Text) {
        ASSERT_LT(index, dialogs.dialogs().size());
        const RecordedDialog& dialog = dialogs.dialogs()[index];
        EXPECT_EQ(dialog.title, cp932FromUtf8(utf8Title));
        EXPECT_EQ(dialog.icon, icon);
        EXPECT_EQ(dialog.text, cp932FromUtf8(utf8Text));
    }

    ScratchDirectory scratch;
    DialogRecorder dialogs{MessageAnswer::ok};
};

const std::string kGothicSummary =
    "lumora.ttc  ver5.00\n"
    "  サイズ: 8123456バイト\n"
    "  MD5: 00112233445566778899aabbccddeeff\n"
    "\n"
    "lumorab.ttc ver5.00\n"
    "  サイズ: 7800000バイト\n"
    "  MD5: ffeeddccbbaa99887766554433221100\n"
    "\n"
    "から TavrinGothic 5.00+ rev1 を生成します.";

const std::string kConsoleSummary =
    "lumora.ttc  ver5.00\n"
    "  サイズ: 8123456バイト\n"
    "  MD5: 00112233445566778899aabbccddeeff\n"
    "\n"
    "から TavrinConsole 5.00+ rev1 を生成します.";

TEST_F(DriverTest, GothicFetchesConfirmsRunsInOrderAndCompletes) {
    EXPECT_EQ(runGothic(), kExitNormal);
    EXPECT_EQ(driverFakes().fetched, (std::vector<std::uint16_t>{101, 102}));
    ASSERT_EQ(driverFakes().jobs.size(), 2u);
    EXPECT_EQ(driverFakes().jobs[0].payloadId, 101);
    EXPECT_EQ(driverFakes().jobs[0].inputName, "lumora.ttc");
    EXPECT_EQ(driverFakes().jobs[0].outputName, "TavrinGothic.ttc");
    EXPECT_EQ(driverFakes().jobs[1].payloadId, 102);
    EXPECT_EQ(driverFakes().jobs[1].inputName, "lumorab.ttc");
    EXPECT_EQ(driverFakes().jobs[1].outputName, "TavrinGothicB.ttc");

    ASSERT_EQ(dialogs.dialogs().size(), 2u);
    expectDialog(0, "Tavrin_gen", MessageIcon::question, kGothicSummary);
    EXPECT_TRUE(dialogs.dialogs()[0].asksOkCancel);
    expectDialog(1, "info", MessageIcon::information, "正常終了");
    EXPECT_FALSE(dialogs.dialogs()[1].asksOkCancel);
}

TEST_F(DriverTest, ConsoleSummaryNamesOneInput) {
    EXPECT_EQ(runGenerator(consoleGenProgram(), fakeServices()), kExitNormal);
    EXPECT_EQ(driverFakes().fetched, (std::vector<std::uint16_t>{103}));
    ASSERT_EQ(driverFakes().jobs.size(), 1u);
    EXPECT_EQ(driverFakes().jobs[0].payloadId, 103);
    EXPECT_EQ(driverFakes().jobs[0].inputName, "lumora.ttc");
    EXPECT_EQ(driverFakes().jobs[0].outputName, "TavrinConsole.ttf");
    ASSERT_EQ(dialogs.dialogs().size(), 2u);
    expectDialog(0, "Tavrin_gen", MessageIcon::question, kConsoleSummary);
    expectDialog(1, "info", MessageIcon::information, "正常終了");
}

TEST_F(DriverTest, SummaryShowsNegativeAndZeroSizesAsSignedDecimals) {
    const std::uint8_t zeros[16] = {};
    driverFakes().payloads[103] = headerOnlyPayload(-1, zeros);
    runGenerator(consoleGenProgram(), fakeServices());
    expectDialog(0, "Tavrin_gen", MessageIcon::question,
                 "lumora.ttc  ver5.00\n  サイズ: -1バイト\n  MD5: 00000000000000000000000000000000"
                 "\n\nから TavrinConsole 5.00+ rev1 を生成します.");
}

TEST_F(DriverTest, DecliningTheSummaryRunsNothingAndExitsOne) {
    DialogRecorder declining(MessageAnswer::cancel);
    EXPECT_EQ(runGothic(), kExitDeclined);
    EXPECT_TRUE(driverFakes().jobs.empty());
    ASSERT_EQ(declining.dialogs().size(), 1u) << "no completion after a cancel";
    EXPECT_TRUE(declining.dialogs()[0].asksOkCancel);
    EXPECT_TRUE(std::filesystem::is_empty(scratch.path())) << "no file touched";
}

TEST_F(DriverTest, FailedFirstJobStopsTheRun) {
    driverFakes().statuses = {kJobInputOpenFailed};
    EXPECT_EQ(runGothic(), kExitNormal);
    ASSERT_EQ(driverFakes().jobs.size(), 1u) << "the second job never starts";
    ASSERT_EQ(dialogs.dialogs().size(), 1u) << "only the summary; the job shows its own error";
}

TEST_F(DriverTest, FailedSecondJobExitsNormallyWithoutCompletion) {
    driverFakes().statuses = {kJobSucceeded, kJobInputMismatch};
    EXPECT_EQ(runGothic(), kExitNormal);
    EXPECT_EQ(driverFakes().jobs.size(), 2u);
    EXPECT_EQ(dialogs.dialogs().size(), 1u);
}

TEST_F(DriverTest, MissingSecondPayloadSaysDamagedOnceAndShowsNoSummary) {
    driverFakes().payloads.erase(102);
    EXPECT_EQ(runGothic(), kExitNormal);
    EXPECT_EQ(driverFakes().fetched, (std::vector<std::uint16_t>{101, 102}));
    EXPECT_TRUE(driverFakes().jobs.empty());
    ASSERT_EQ(dialogs.dialogs().size(), 1u);
    expectDialog(0, "エラー", MessageIcon::error, "このEXEが壊れています.");
}

TEST_F(DriverTest, MissingFirstPayloadFetchesNoFurther) {
    driverFakes().payloads.erase(101);
    EXPECT_EQ(runGothic(), kExitNormal);
    EXPECT_EQ(driverFakes().fetched, (std::vector<std::uint16_t>{101}));
    EXPECT_EQ(dialogs.dialogs().size(), 1u);
}

TEST_F(DriverTest, SummaryThatWouldNotFitIsRefused) {
    // 213 bytes of text, an 11-character size and 32 hex digits: 256 bytes,
    // one more than the buffer holds beside its terminator.
    static const std::string longTemplate =
        std::string(213, 'x') + "%d" +
        "%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x";
    static const PatchJob jobs[] = {{103, "in", "out"}};
    const GeneratorProgram program{jobs, longTemplate.c_str()};
    const std::uint8_t zeros[16] = {};
    driverFakes().payloads[103] = headerOnlyPayload(-2147483647 - 1, zeros);
    EXPECT_EQ(runGenerator(program, fakeServices()), kExitNormal);
    EXPECT_TRUE(driverFakes().jobs.empty());
    ASSERT_EQ(dialogs.dialogs().size(), 1u);
    expectDialog(0, "エラー", MessageIcon::error, "このEXEが壊れています.");

    // The same template with a shorter size fits exactly (255 bytes).
    dialogs.clear();
    driverFakes().payloads[103] = headerOnlyPayload(-214748364, zeros);
    EXPECT_EQ(runGenerator(program, fakeServices()), kExitNormal);
    ASSERT_EQ(dialogs.dialogs().size(), 2u);
    EXPECT_EQ(dialogs.dialogs()[0].text.size(), 255u);
}

}  // namespace
