#include "tools/mkpayload/make_payload.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "engine/md5.h"
#include "tools/mkpayload/input_file.h"
#include "tools/mkpayload/paired_work.h"
#include "tools/mkpayload/payload_file.h"
#include "tools/mkpayload/record_emission.h"
#include "tools/mkpayload/split_scan.h"
#include "tools/mkpayload/stream_compression.h"
#include "tools/mkpayload/suffix_index.h"

namespace mkpayload {

namespace {

struct CompressedPayload {
    CompressedStream control;
    CompressedStream data;
    CompressedStream extra;
    std::int64_t records = 0;
};

void digestOldFile(std::span<const std::uint8_t> oldBytes, std::uint8_t digest[kMd5DigestSize]) {
    Md5Context context;
    md5Init(context);
    md5Append(context, oldBytes.data(), static_cast<std::int32_t>(oldBytes.size()));
    md5Finish(context, digest);
}

// Sorts the old file's suffixes while digesting it on the other thread.
MakeStatus indexAndDigest(std::span<const std::uint8_t> oldBytes, SuffixIndex& index,
                          std::uint8_t digest[kMd5DigestSize]) {
    MakeStatus status = kMakeSucceeded;
    auto sort = [&] { status = buildSuffixIndex(oldBytes, index); };
    auto digestOld = [&] { digestOldFile(oldBytes, digest); };
    runBoth(digestOld, sort);
    return status;
}

// Compresses the three streams on two threads: the data stream, which is the
// largest for related files, on one; the extra and control streams on the
// other.
MakeStatus compressStreams(const SplitDifference& difference, CompressedPayload& payload) {
    const std::vector<std::uint8_t> control = encodeControlRecords(difference[0].records);
    const std::span<const std::uint8_t> dataPieces[] = {difference[0].dataBytes,
                                                        difference[1].dataBytes};
    const std::span<const std::uint8_t> extraPieces[] = {difference[0].extraBytes,
                                                         difference[1].extraBytes};
    const std::span<const std::uint8_t> controlPieces[] = {control};
    MakeStatus dataStatus = kMakeSucceeded;
    MakeStatus otherStatus = kMakeSucceeded;
    auto compressData = [&] { dataStatus = compressStream(dataPieces, payload.data); };
    auto compressOthers = [&] {
        otherStatus = compressStream(extraPieces, payload.extra);
        if (otherStatus == kMakeSucceeded) {
            otherStatus = compressStream(controlPieces, payload.control);
        }
    };
    runBoth(compressData, compressOthers);
    return dataStatus != kMakeSucceeded ? dataStatus : otherStatus;
}

// Finds the difference and compresses its streams. The inputs and the suffix
// index are released before compression starts, which keeps the peak memory
// at the scan.
MakeStatus differenceAndCompress(InputFile& oldFile, InputFile& newFile, ProgressMeter& meter,
                                 PayloadHeader& header, CompressedPayload& payload) {
    SplitDifference difference;
    {
        SuffixIndex index;
        startPhase(meter, "sorting");
        if (const MakeStatus status = indexAndDigest(oldFile.bytes(), index, header.oldmd5);
            status != kMakeSucceeded) {
            return status;
        }
        startPhase(meter, "scanning");
        scanInParts(oldFile.bytes(), newFile.bytes(), index, meter, difference);
    }
    oldFile.release();
    newFile.release();
    payload.records = static_cast<std::int64_t>(difference[0].records.size());

    startPhase(meter, "compressing");
    return compressStreams(difference, payload);
}

}  // namespace

MakeStatus makePayload(const char* oldName, const char* newName, const char* payloadName,
                       PayloadStats& stats) {
    const auto started = std::chrono::steady_clock::now();
    InputFile oldFile;
    InputFile newFile;
    if (const MakeStatus status = readInputFile(oldName, oldFile); status != kMakeSucceeded) {
        return status;
    }
    if (const MakeStatus status = readInputFile(newName, newFile); status != kMakeSucceeded) {
        return status;
    }

    PayloadHeader header{};
    header.oldsize = static_cast<std::int32_t>(oldFile.bytes().size());
    header.newsize = static_cast<std::int32_t>(newFile.bytes().size());

    ProgressMeter meter = makeProgressMeter(header.oldsize + std::int64_t{header.newsize});
    CompressedPayload payload;
    const MakeStatus status = differenceAndCompress(oldFile, newFile, meter, header, payload);
    if (status != kMakeSucceeded) {
        finishProgress(meter);
        return status;
    }
    // The body must stay addressable with the header's signed 32-bit sizes.
    const std::size_t bodySize = payload.control.size + payload.data.size + payload.extra.size;
    if (bodySize > static_cast<std::size_t>(kLargestInput) - kPayloadHeaderSize) {
        finishProgress(meter);
        std::fprintf(stderr, "mkpayload: the payload would exceed 2^31 bytes\n");
        return kMakeCompressFailed;
    }
    header.ctrlsize = static_cast<std::int32_t>(payload.control.size);
    header.datasize = static_cast<std::int32_t>(payload.data.size);
    header.extrasize = static_cast<std::int32_t>(payload.extra.size);

    startPhase(meter, "writing");
    const auto headerBytes = encodePayloadHeader(header);
    const std::span<const std::uint8_t> streams[] = {payload.control.view(), payload.data.view(),
                                                     payload.extra.view()};
    const MakeStatus written = writePayloadFile(payloadName, headerBytes, streams);
    finishProgress(meter);
    if (written != kMakeSucceeded) {
        return written;
    }

    stats.records = payload.records;
    stats.controlBytes = header.ctrlsize;
    stats.dataBytes = header.datasize;
    stats.extraBytes = header.extrasize;
    stats.oldSize = header.oldsize;
    stats.newSize = header.newsize;
    stats.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return kMakeSucceeded;
}

}  // namespace mkpayload
