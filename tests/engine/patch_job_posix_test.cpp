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

PayloadRecipe smallRecipe() {
    return PayloadRecipe{{1, 2, 3, 4}, {{4, 1, 0}}, {1, 1, 1, 1}, {'z'}, 5};
}

class PatchJobPosixTest : public PatchJobTest {
  protected:
    void SetUp() override { writeFileBytes(kInputName, smallRecipe().oldFile); }
};

TEST_F(PatchJobPosixTest, InputThatYieldsFewerBytesThanItsLength) {
    // sysfs files claim 4096 bytes and deliver a few.
    const char* shortFile = "/sys/devices/system/cpu/online";
    if (!std::filesystem::exists(shortFile)) {
        GTEST_SKIP() << shortFile << " is not there to read short";
    }
    std::filesystem::create_symlink(shortFile, "short.ttc");
    EXPECT_EQ(runJob(buildPayload(smallRecipe()), "short.ttc"), kJobInputReadFailed);
    expectOnlyError("ファイルの読み込みに失敗.");
    EXPECT_FALSE(exists(kOutputName));
}

TEST_F(PatchJobPosixTest, StagingWriteThatComesUpShort) {
    std::filesystem::create_symlink("/dev/full", kStagingName);
    EXPECT_EQ(runJob(buildPayload(smallRecipe())), kJobWriteFailed);
    expectOnlyError("ファイルへの書き込みに失敗.");
    EXPECT_FALSE(exists(kOutputName));
}

TEST_F(PatchJobPosixTest, OutputWriteThatComesUpShort) {
    std::filesystem::create_symlink("/dev/full", "full.ttf");
    EXPECT_EQ(runJob(buildPayload(smallRecipe()), kInputName, "full.ttf"), kJobWriteFailed);
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

// Blocks a child holds so that the heap has no room left; static, since the
// child may not allocate to keep track of them.
void* hoard[1 << 20];

void limitAddressSpace(std::size_t bytes) {
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_AS, &limit);
}

TEST_F(PatchJobPosixTest, StagingFileThatCannotBeOpenedForReading) {
    prepareChild(buildPayload(smallRecipe()), kInputName, "一時ファイルが開けない.");
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
    prepareChild(buildPayload(smallRecipe()), kInputName, "bzip2の初期化に失敗.");
    const int status = exitStatusInChild([] {
        // Serve everything from the heap, take every free byte of it, then
        // give back about 48 KiB in one piece: room for the streams, none
        // for a decoder's state (about 64 KiB). The heap may not grow.
        mallopt(M_MMAP_THRESHOLD, 64 << 20);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
        limitAddressSpace(addressSpaceInUse() + (1u << 20));
        std::size_t held = 0;
        while (held < std::size(hoard) && (hoard[held] = std::malloc(1024)) != nullptr) {
            ++held;
        }
        for (std::size_t i = 0; i < 48 && held > 0; ++i) {
            std::free(hoard[--held]);
        }
        return runChildJob();
    });
    EXPECT_EQ(status, kJobDecoderOpenFailed);
    EXPECT_FALSE(exists(kStagingName));
    EXPECT_FALSE(exists(kOutputName));
}

TEST_F(PatchJobPosixTest, OutputBufferThatCannotBeAllocated) {
    PayloadRecipe recipe = smallRecipe();
    recipe.newsize = 0x7ffffff0;  // about 2 GiB
    prepareChild(buildPayload(recipe), kInputName, "ファイル 'new.bin' が作れない.");
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
    prepareChild(buildPayload(smallRecipe()), "big.ttc", "ファイルの読み込みに失敗.");
    const int status = exitStatusInChild([] {
        limitAddressSpace(addressSpaceInUse() + (256u << 20));
        return runChildJob();
    });
    EXPECT_EQ(status, kJobInputReadFailed);
    EXPECT_FALSE(exists(kStagingName));
}

#endif

}  // namespace
