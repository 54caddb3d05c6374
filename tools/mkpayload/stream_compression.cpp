#include "tools/mkpayload/stream_compression.h"

#include <bzlib.h>

#include <climits>
#include <cstdio>

namespace mkpayload {

namespace {

constexpr int kBlockSize = 9;  // 900 kB blocks
constexpr int kQuiet = 0;
constexpr int kDefaultWorkFactor = 0;

// Ends the compressor's use of its work memory on every path.
struct CompressorSession {
    bz_stream stream{};
    bool open = false;
    ~CompressorSession() {
        if (open) {
            BZ2_bzCompressEnd(&stream);
        }
    }
};

MakeStatus reportFailure(int bzStatus) {
    std::fprintf(stderr, "mkpayload: bzip2 compression failed (code %d)\n", bzStatus);
    return bzStatus == BZ_MEM_ERROR ? kMakeOutOfMemory : kMakeCompressFailed;
}

// Feeds `input` to the compressor with `action` until it has taken all of it
// (BZ_RUN) or closed the stream (BZ_FINISH). The output buffer is sized for
// the worst case, so it never runs out.
int feed(bz_stream& stream, std::span<const std::uint8_t> input, int action) {
    // The library's source pointer is not const, but it only reads.
    stream.next_in = reinterpret_cast<char*>(const_cast<std::uint8_t*>(input.data()));
    stream.avail_in = static_cast<unsigned int>(input.size());
    for (;;) {
        const int status = BZ2_bzCompress(&stream, action);
        if (action == BZ_RUN) {
            if (status != BZ_RUN_OK || stream.avail_in == 0) {
                return status == BZ_RUN_OK ? BZ_OK : status;
            }
        } else if (status == BZ_STREAM_END) {
            return BZ_OK;
        } else if (status != BZ_FINISH_OK) {
            return status;
        } else if (stream.avail_out == 0) {
            return BZ_OUTBUFF_FULL;
        }
    }
}

}  // namespace

MakeStatus compressStream(BytePieces pieces, CompressedStream& output) {
    std::size_t inputSize = 0;
    for (const auto piece : pieces) {
        inputSize += piece.size();
    }
    // bzip2's documented bound: 1% plus 600 bytes more than the input.
    const std::size_t capacity = inputSize + inputSize / 100 + 600;
    if (capacity > UINT_MAX) {
        return reportFailure(BZ_OUTBUFF_FULL);
    }
    output.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
    output.size = 0;

    CompressorSession session;
    if (const int status =
            BZ2_bzCompressInit(&session.stream, kBlockSize, kQuiet, kDefaultWorkFactor);
        status != BZ_OK) {
        return reportFailure(status);
    }
    session.open = true;
    session.stream.next_out = reinterpret_cast<char*>(output.bytes.get());
    session.stream.avail_out = static_cast<unsigned int>(capacity);
    for (const auto piece : pieces) {
        if (piece.empty()) {
            continue;  // the library refuses a run step that makes no progress
        }
        if (const int status = feed(session.stream, piece, BZ_RUN); status != BZ_OK) {
            return reportFailure(status);
        }
    }
    if (const int status = feed(session.stream, {}, BZ_FINISH); status != BZ_OK) {
        return reportFailure(status);
    }
    output.size = capacity - session.stream.avail_out;
    return kMakeSucceeded;
}

}  // namespace mkpayload
