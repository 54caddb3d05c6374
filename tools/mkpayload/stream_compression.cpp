#include "tools/mkpayload/stream_compression.h"

#include <bzlib.h>

#include <cstdio>

#include "tools/mkpayload/paired_work.h"

namespace {

constexpr int kBlockSize = 9;  // 900 kB blocks
constexpr int kQuiet = 0;
constexpr int kDefaultWorkFactor = 0;

struct CompressionJob {
    std::span<const std::uint8_t> input;
    CompressedStream* output;
    int bzStatus;
};

void compressJob(void* context) {
    CompressionJob* job = static_cast<CompressionJob*>(context);
    // bzip2's documented bound: 1% plus 600 bytes more than the input.
    const std::size_t capacity = job->input.size() + job->input.size() / 100 + 600;
    job->output->bytes = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
    auto produced = static_cast<unsigned int>(capacity);
    // The library's source pointer is not const, but it only reads from it;
    // an empty input still needs a non-null pointer.
    static char emptyInput = 0;
    char* source = job->input.empty()
                       ? &emptyInput
                       : reinterpret_cast<char*>(const_cast<std::uint8_t*>(job->input.data()));
    job->bzStatus = BZ2_bzBuffToBuffCompress(
        reinterpret_cast<char*>(job->output->bytes.get()), &produced, source,
        static_cast<unsigned int>(job->input.size()), kBlockSize, kQuiet, kDefaultWorkFactor);
    job->output->size = job->bzStatus == BZ_OK ? produced : 0;
}

MakeStatus checkJob(const CompressionJob& job) {
    if (job.bzStatus == BZ_OK) {
        return kMakeSucceeded;
    }
    std::fprintf(stderr, "mkpayload: bzip2 compression failed (code %d)\n", job.bzStatus);
    return job.bzStatus == BZ_MEM_ERROR ? kMakeOutOfMemory : kMakeCompressFailed;
}

}  // namespace

MakeStatus compressStream(std::span<const std::uint8_t> input, CompressedStream& output) {
    CompressionJob job{input, &output, BZ_OK};
    compressJob(&job);
    return checkJob(job);
}

MakeStatus compressStreamPair(std::span<const std::uint8_t> firstInput,
                              CompressedStream& firstOutput,
                              std::span<const std::uint8_t> secondInput,
                              CompressedStream& secondOutput) {
    CompressionJob first{firstInput, &firstOutput, BZ_OK};
    CompressionJob second{secondInput, &secondOutput, BZ_OK};
    runPaired(compressJob, &first, compressJob, &second);
    if (const MakeStatus status = checkJob(first); status != kMakeSucceeded) {
        return status;
    }
    return checkJob(second);
}
