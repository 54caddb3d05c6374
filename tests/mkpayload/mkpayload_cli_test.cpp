// The command line: bad arguments and unusable files give a message and a
// non-zero exit, and never leave a payload (whole or partial) behind.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/mkpayload/payload_inspection.h"
#include "tests/mkpayload/tool_run.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/test_files.h"

namespace {

namespace fs = std::filesystem;

// Files in the scratch directory other than the tool's captured output.
std::vector<std::string> directoryEntries() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(".")) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class MkpayloadCommandLine : public testing::Test {
  protected:
    void SetUp() override {
        writeFileBytes("old.bin", seededBytes(5000, 1));
        writeFileBytes("new.bin", seededBytes(6000, 2));
    }

    // The run failed with a message naming the tool and wrote no payload.
    void expectRefused(const ToolRun& run, const std::vector<std::string>& entriesBefore) {
        EXPECT_NE(run.exitStatus, 0);
        EXPECT_NE(run.standardError.find("mkpayload: "), std::string::npos)
            << "stderr: " << run.standardError;
        EXPECT_EQ(directoryEntries(), entriesBefore);
    }

    ScratchDirectory scratch;
};

struct ArgumentCase {
    const char* name;
    std::vector<std::string> arguments;
};

class MalformedArguments : public MkpayloadCommandLine,
                           public testing::WithParamInterface<ArgumentCase> {};

TEST_P(MalformedArguments, AreRefusedWithUsage) {
    const auto before = directoryEntries();
    const ToolRun run = runMkpayload(GetParam().arguments);
    expectRefused(run, before);
    EXPECT_NE(run.standardError.find("usage: mkpayload"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedArguments,
    testing::Values(ArgumentCase{"none", {}}, ArgumentCase{"one", {"old.bin"}},
                    ArgumentCase{"two", {"old.bin", "new.bin"}},
                    ArgumentCase{"four", {"old.bin", "new.bin", "p.bin", "q.bin"}},
                    ArgumentCase{"unknown_option", {"--fast", "old.bin", "new.bin", "p.bin"}},
                    ArgumentCase{"empty_name", {"old.bin", "", "p.bin"}}),
    [](const testing::TestParamInfo<ArgumentCase>& info) { return std::string(info.param.name); });

TEST_F(MkpayloadCommandLine, MissingOldFileIsNamed) {
    const auto before = directoryEntries();
    const ToolRun run = runMkpayload({"absent.bin", "new.bin", "p.bin"});
    expectRefused(run, before);
    EXPECT_NE(run.standardError.find("absent.bin"), std::string::npos);
}

TEST_F(MkpayloadCommandLine, MissingNewFileIsNamed) {
    const auto before = directoryEntries();
    const ToolRun run = runMkpayload({"old.bin", "absent.bin", "p.bin"});
    expectRefused(run, before);
    EXPECT_NE(run.standardError.find("absent.bin"), std::string::npos);
}

TEST_F(MkpayloadCommandLine, DirectoryAsInputIsRefused) {
    fs::create_directory("folder");
    const auto before = directoryEntries();
    expectRefused(runMkpayload({"folder", "new.bin", "p.bin"}), before);
}

TEST_F(MkpayloadCommandLine, UnreadableInputIsRefused) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root from reading";
    }
    fs::permissions("old.bin", fs::perms::none);
    const auto before = directoryEntries();
    expectRefused(runMkpayload({"old.bin", "new.bin", "p.bin"}), before);
}

TEST_F(MkpayloadCommandLine, FailureLeavesAnExistingPayloadUntouched) {
    const Bytes earlier = seededBytes(100, 3);
    writeFileBytes("p.bin", earlier);
    const auto before = directoryEntries();
    expectRefused(runMkpayload({"old.bin", "absent.bin", "p.bin"}), before);
    EXPECT_EQ(readFileBytes("p.bin"), earlier);
}

TEST_F(MkpayloadCommandLine, UnwritablePayloadPlaceIsRefused) {
    const auto before = directoryEntries();
    const ToolRun run = runMkpayload({"old.bin", "new.bin", "no-such-folder/p.bin"});
    expectRefused(run, before);
    EXPECT_NE(run.standardError.find("no-such-folder/p.bin"), std::string::npos);
}

// Sparse files, so the sizes cost no disk space.
TEST_F(MkpayloadCommandLine, InputsOfTwoGigabytesAreRefused) {
    for (const char* tooLarge : {"huge-old.bin", "huge-new.bin"}) {
        writeFileBytes(tooLarge, {});
        fs::resize_file(tooLarge, std::uintmax_t{1} << 31);
    }
    const auto before = directoryEntries();
    const ToolRun oldRun = runMkpayload({"huge-old.bin", "new.bin", "p.bin"});
    expectRefused(oldRun, before);
    EXPECT_NE(oldRun.standardError.find("2^31"), std::string::npos) << oldRun.standardError;
    const ToolRun newRun = runMkpayload({"old.bin", "huge-new.bin", "p.bin"});
    expectRefused(newRun, before);
    EXPECT_NE(newRun.standardError.find("huge-new.bin"), std::string::npos);
}

TEST_F(MkpayloadCommandLine, SuccessLeavesOnlyThePayload) {
    auto expected = directoryEntries();
    expected.push_back("p.bin");
    std::sort(expected.begin(), expected.end());
    const ToolRun run = runMkpayload({"old.bin", "new.bin", "p.bin"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(directoryEntries(), expected);
}

TEST_F(MkpayloadCommandLine, StatsReportTheRecordsAndSizes) {
    const ToolRun run = runMkpayload({"--stats", "old.bin", "new.bin", "p.bin"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    InspectedPayload inspected;
    ASSERT_EQ(inspectPayload(readFileBytes("p.bin"), inspected), "");
    const std::string& out = run.standardOutput;
    EXPECT_NE(out.find("records:      " + std::to_string(inspected.records.size()) + "\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("extra:        " + std::to_string(inspected.extrasize) + " bytes"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("old size:     5000 bytes"), std::string::npos) << out;
    EXPECT_NE(out.find("new size:     6000 bytes"), std::string::npos) << out;
    EXPECT_NE(out.find("time:"), std::string::npos) << out;
}

TEST_F(MkpayloadCommandLine, WithoutStatsStandardOutputStaysEmpty) {
    const ToolRun run = runMkpayload({"old.bin", "new.bin", "p.bin"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError, "");
}

}  // namespace
