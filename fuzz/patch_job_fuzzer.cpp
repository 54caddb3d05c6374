// libFuzzer target: the fuzzer's bytes are the payload block of one patch job
// against a small fixed input, in a private scratch folder.
//
// Verification: the job refuses any input whose length or MD5 digest differs
// from the header, so raw fuzzer bytes would almost never get past it. The
// harness therefore writes the fixed input's length and digest into header
// bytes 16..35 of its copy before every run, and the fuzzer spends its time
// in staging, decoding and rebuilding. Setting TAVRIN_FUZZ_RAW_HEADER=1 in the
// environment leaves the header as the fuzzer made it, to exercise the
// verification step itself; TAVRIN_FUZZ_VERBOSE=1 keeps the job's diagnostic
// lines and prints each run's status, for replaying single inputs.
//
// The harness moves into its scratch folder before libFuzzer reads the
// corpus, so corpus folders and -artifact_prefix must be absolute paths.
//
// After every run the harness aborts unless: the status is a known code,
// exactly one dialog was raised for a failure and none for success,
// "temp.bin" is gone, and an output file exists only after success.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/md5.h"
#include "engine/patch_job.h"
#include "engine/payload_header.h"
#include "fuzz/fixed_input.h"
#include "platform/dialog_seam.h"

namespace {

constexpr char kInputName[] = "input.bin";
constexpr char kOutputName[] = "output.bin";
constexpr char kStagingName[] = "temp.bin";

constexpr std::int32_t kLargestOutput = 16 << 20;

bool rawHeader = false;
bool verbose = false;
std::string scratchFolder;
std::uint8_t fixedDigest[kMd5DigestSize];
int dialogCount = 0;

MessageAnswer countDialog(const DialogRequest&) {
    ++dialogCount;
    return MessageAnswer::ok;
}

bool fileExists(const char* name) {
    struct stat info;
    return ::stat(name, &info) == 0;
}

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "patch_job_fuzzer: broken invariant: %s\n", what);
        std::abort();
    }
}

void storeLittleEndian32(std::uint8_t* bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// A session that ends normally leaves no scratch folder behind; after a
// crash it stays for inspection.
void removeScratchFolder() {
    std::remove(kInputName);
    std::remove(kOutputName);
    if (::chdir("/") == 0) {
        ::rmdir(scratchFolder.c_str());
    }
}

// Creates the scratch folder once, moves into it and writes the fixed input.
void prepareScratchFolder() {
    const char* base = std::getenv("TMPDIR");
    scratchFolder =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/tavrin-fuzz-XXXXXX";
    require(::mkdtemp(scratchFolder.data()) != nullptr, "scratch folder created");
    require(::chdir(scratchFolder.c_str()) == 0, "moved into the scratch folder");
    std::atexit(removeScratchFolder);

    const std::vector<std::uint8_t> input = makeFixedInput();
    std::FILE* stream = std::fopen(kInputName, "wb");
    require(stream != nullptr, "fixed input created");
    require(std::fwrite(input.data(), 1, input.size(), stream) == input.size(),
            "fixed input written");
    require(std::fclose(stream) == 0, "fixed input closed");

    Md5Context context;
    md5Init(context);
    md5Append(context, input.data(), static_cast<std::int32_t>(input.size()));
    md5Finish(context, fixedDigest);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    rawHeader = std::getenv("TAVRIN_FUZZ_RAW_HEADER") != nullptr;
    // The job's diagnostic lines would drown the fuzzer's own report.
    verbose = std::getenv("TAVRIN_FUZZ_VERBOSE") != nullptr;
    if (!verbose) {
        require(std::freopen("/dev/null", "w", stdout) != nullptr, "stdout silenced");
    }
    setDialogHandler(countDialog);
    prepareScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A heap block of exactly the input's length, so that any read past the
    // end of the payload is an ASan report.
    std::vector<std::uint8_t> block(data, data + size);
    if (!rawHeader && size >= kPayloadHeaderSize) {
        storeLittleEndian32(block.data() + 16, kFixedInputSize);
        std::memcpy(block.data() + 20, fixedDigest, kMd5DigestSize);
    }

    // Outputs above this size only make the job take a bigger buffer, which
    // under ASan costs a shadow fill of an eighth of its size per run and
    // would slow the session to a crawl; they add no path of their own.
    if (size >= kPayloadHeaderSize && readLittleEndian32(block.data() + 12) > kLargestOutput) {
        return -1;  // keeps the input out of the corpus
    }

    dialogCount = 0;
    const JobStatus status = runPatchJob(PatchPayload(block), kInputName, kOutputName);

    if (verbose) {
        std::fprintf(stderr, "patch_job_fuzzer: status %d\n", status);
    }
    require(status == kJobSucceeded || (status >= 2 && status <= 10), "status is a job code");
    require(dialogCount == (status == kJobSucceeded ? 0 : 1), "one dialog per failure");
    require(!fileExists(kStagingName), "temp.bin removed");
    if (status == kJobSucceeded) {
        require(fileExists(kOutputName), "output written on success");
        std::remove(kOutputName);
    } else {
        require(!fileExists(kOutputName), "no output after a failure");
    }
    return 0;
}
