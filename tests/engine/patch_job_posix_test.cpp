// Failures that need POSIX means to provoke: device files, process limits.
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "tests/engine/patch_job_fixture.h"
#include "tests/support/child_process.h"

#if defined(__SANITIZE_ADDRESS__)
#define TAVRIN_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAVRIN_UNDER_ASAN 1
#endif
#endif

namespace {

PayloadSpec smallSpec() {
    return PayloadSpec{{1, 2, 3, 4}, {{4, 1, 0}}, {1, 1, 1, 1}, {'z'}, 5};
}

class PatchJobPosixTest : public PatchJobTest {
  protected:
    void SetUp() override { writeFileBytes(kInputName, smallSpec().oldFile); }
};

TEST_F(PatchJobPosixTest, InputThatYieldsFewerBytesThanItsLength) {
    // sysfs files claim 4096 bytes and deliver a few.
    const char* shortFile = "/sys/devices/system/cpu/online";
    if (!std::filesystem::exists(shortFile)) {
        GTEST_SKIP() << shortFile << " is not there to read short";
    }
    std::filesystem::create_symlink(shortFile, "short.ttc");
    EXPECT_EQ(runJob(buildPayload(smallSpec()), "short.ttc"), kJobInputReadFailed);
    expectOnlyError("ファイルの読み込みに失敗.");
    EXPECT_FALSE(exists(kOutputName));
}

TEST_F(PatchJobPosixTest, StagingWriteThatComesUpShort) {
    std::filesystem::create_symlink("/dev/full", kStagingName);
    EXPECT_EQ(runJob(buildPayload(smallSpec())), kJobWriteFailed);
    expectOnlyError("ファイルへの書き込みに失敗.");
    EXPECT_FALSE(exists(kOutputName));
}

TEST_F(PatchJobPosixTest, OutputWriteThatComesUpShort) {
    std::filesystem::create_symlink("/dev/full", "full.ttf");
    EXPECT_EQ(runJob(buildPayload(smallSpec()), kInputName, "full.ttf"), kJobWriteFailed);
    expectOnlyError("ファイルへの書き込みに失敗.");
}

// Child processes check their one message without allocating, since some of
// them run with no memory to spare.
std::string expectedChildText;
bool childTextMatched = false;

MessageAnswer checkChildMessage(const DialogRequest& request) {
    childTextMatched = std::strcmp(request.text, expectedChildText.c_str()) == 0;
    return MessageAnswer::ok;
}

Bytes childPayload;
std::string childInput;

// The job's status, or 100 + status when its message was not the expected one.
int runChildJob() {
    setDialogHandler(checkChildMessage);
    const JobStatus status =
        runPatchJob(PatchPayload(childPayload), childInput.c_str(), kOutputName);
    return childTextMatched ? status : 100 + status;
}

void prepareChild(const Bytes& payload, const char* input, const char* utf8Message) {
    childPayload = payload;
    childInput = input;
    expectedChildText = cp932FromUtf8(utf8Message);
    childTextMatched = false;
}

std::size_t addressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

void limitAddressSpace(std::size_t bytes) {
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_AS, &limit);
}

TEST_F(PatchJobPosixTest, StagingFileThatCannotBeOpenedForReading) {
    prepareChild(buildPayload(smallSpec()), kInputName, "一時ファイルが開けない.");
    const int status = exitStatusInChild([] {
        // Room for the input and the staging write stream, none for the readers.
        const int lowestFree = dup(0);
        close(lowestFree);
        const rlimit limit{static_cast<rlim_t>(lowestFree + 1),
                           static_cast<rlim_t>(lowestFree + 1)};
        setrlimit(RLIMIT_NOFILE, &limit);
        return runChildJob();
    });
    EXPECT_EQ(status, kJobStagingOpenFailed);
    EXPECT_FALSE(exists(kStagingName));
    EXPECT_FALSE(exists(kOutputName));
}

#ifndef TAVRIN_UNDER_ASAN  // the sanitizer's allocator ignores these limits

TEST_F(PatchJobPosixTest, DecodersThatCannotGetMemory) {
    prepareChild(buildPayload(smallSpec()), kInputName, "bzip2の初期化に失敗.");
    const int status = exitStatusInChild([] {
        // Serve everything from the heap, leave it room for the streams but
        // not for a decoder's state (about 64 KiB), and forbid any growth.
        mallopt(M_MMAP_THRESHOLD, 64 << 20);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
        mallopt(M_TOP_PAD, 0);
        std::free(std::malloc(48 << 10));
        limitAddressSpace(addressSpaceInUse());
        return runChildJob();
    });
    EXPECT_EQ(status, kJobDecoderOpenFailed);
    EXPECT_FALSE(exists(kStagingName));
    EXPECT_FALSE(exists(kOutputName));
}

TEST_F(PatchJobPosixTest, OutputBufferThatCannotBeAllocated) {
    PayloadSpec spec = smallSpec();
    spec.newsize = 0x7ffffff0;  // about 2 GiB
    prepareChild(buildPayload(spec), kInputName, "ファイル 'new.bin' が作れない.");
    const int status = exitStatusInChild([] {
        limitAddressSpace(addressSpaceInUse() + (256u << 20));
        return runChildJob();
    });
    EXPECT_EQ(status, kJobOutputCreateFailed);
    EXPECT_FALSE(exists(kStagingName));
    EXPECT_FALSE(exists(kOutputName));
}

TEST_F(PatchJobPosixTest, InputBufferThatCannotBeAllocated) {
    writeFileBytes("big.ttc", {});
    std::filesystem::resize_file("big.ttc", std::uintmax_t{1} << 30);  // sparse
    prepareChild(buildPayload(smallSpec()), "big.ttc", "ファイルの読み込みに失敗.");
    const int status = exitStatusInChild([] {
        limitAddressSpace(addressSpaceInUse() + (256u << 20));
        return runChildJob();
    });
    EXPECT_EQ(status, kJobInputReadFailed);
    EXPECT_FALSE(exists(kStagingName));
}

#endif

}  // namespace
