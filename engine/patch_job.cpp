#include "engine/patch_job.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "engine/job_messages.h"
#include "engine/job_resources.h"
#include "engine/md5.h"
#include "engine/payload_header.h"
#include "platform/platform.h"

namespace {

constexpr char kStagingFileName[] = "temp.bin";
constexpr std::size_t kMessageBufferSize = 256;

// The old position only ever decides whether a byte lies inside the input, so
// it is kept wide and clamped: no run of corrupt seeks can overflow it.
constexpr std::int64_t kOldPositionLimit = std::int64_t{1} << 62;

// Reads exactly `length` bytes. A read is good when the full count came back
// with "ok" or "end of stream"; otherwise the library's code is reported.
bool readStream(BZFILE* reader, std::uint8_t* destination, std::int32_t length) {
    int bzError = 0;
    const int count = BZ2_bzRead(&bzError, reader, destination, length);
    if (count >= length && (bzError == BZ_OK || bzError == BZ_STREAM_END)) {
        return true;
    }
    std::printf("bzip2_read_error: %d\n", bzError);
    return false;
}

bool readControlField(BZFILE* reader, std::int32_t& value) {
    std::uint8_t bytes[4];
    if (!readStream(reader, bytes, 4)) {
        return false;
    }
    value = readLittleEndian32(bytes);
    return true;
}

// Adds the input bytes under old positions [oldPosition, oldPosition + length)
// to the freshly decoded run at `run`, skipping positions outside the input.
void addOldBytes(std::uint8_t* run, std::int32_t length, const std::uint8_t* oldBytes,
                 std::int32_t oldLength, std::int64_t oldPosition) {
    const std::int64_t first = std::max<std::int64_t>(oldPosition, 0);
    const std::int64_t last = std::min<std::int64_t>(oldPosition + length, oldLength);
    if (first >= last) {
        return;
    }
    std::uint8_t* target = run + (first - oldPosition);
    const std::uint8_t* source = oldBytes + first;
    const std::int64_t count = last - first;
    for (std::int64_t i = 0; i < count; ++i) {
        target[i] = static_cast<std::uint8_t>(target[i] + source[i]);
    }
}

// Walks the control records and fills newBytes[0, newSize). Every run is
// checked against the room left in the buffer before anything is read into it.
JobStatus rebuildOutput(BZFILE* control, BZFILE* data, BZFILE* extra, std::uint8_t* newBytes,
                        std::int32_t newSize, const std::uint8_t* oldBytes,
                        std::int32_t oldLength) {
    std::int32_t newPosition = 0;
    std::int64_t oldPosition = 0;
    while (newPosition < newSize) {
        std::int32_t dataLength = 0;
        std::int32_t extraLength = 0;
        std::int32_t oldSeek = 0;
        if (!readControlField(control, dataLength) || !readControlField(control, extraLength) ||
            !readControlField(control, oldSeek)) {
            return kJobPatchReadFailed;
        }
        // A negative length is left to the library, which refuses it as a
        // parameter error; a run past the end of the output is corrupt.
        if (dataLength > newSize - newPosition) {
            return kJobPatchReadFailed;
        }
        if (!readStream(data, newBytes + newPosition, dataLength)) {
            return kJobPatchReadFailed;
        }
        addOldBytes(newBytes + newPosition, dataLength, oldBytes, oldLength, oldPosition);
        newPosition += dataLength;
        oldPosition += dataLength;

        if (extraLength > newSize - newPosition) {
            return kJobPatchReadFailed;
        }
        if (!readStream(extra, newBytes + newPosition, extraLength)) {
            return kJobPatchReadFailed;
        }
        newPosition += extraLength;
        oldPosition = std::clamp(oldPosition + oldSeek, -kOldPositionLimit, kOldPositionLimit);
    }
    return kJobSucceeded;
}

// Opens the input, measures it and reads it whole into `oldBytes`. The input
// stream is closed before this returns, whatever happened.
JobStatus readInput(const char* inputName, ByteBuffer& oldBytes, std::int32_t& oldLength) {
    FileHandle input = openFile(inputName, "rb");
    if (!input) {
        return kJobInputOpenFailed;
    }
    if (std::fseek(input.get(), 0, SEEK_END) != 0) {
        return kJobInputReadFailed;
    }
    const long measured = std::ftell(input.get());
    // A length that does not fit the signed 32-bit model is never truncated.
    if (measured < 0 || measured > std::numeric_limits<std::int32_t>::max()) {
        return kJobInputReadFailed;
    }
    oldLength = static_cast<std::int32_t>(measured);
    if (std::fseek(input.get(), 0, SEEK_SET) != 0) {
        return kJobInputReadFailed;
    }
    oldBytes = allocateBytes(static_cast<std::size_t>(oldLength) + 1);
    if (!oldBytes) {
        return kJobInputReadFailed;
    }
    const std::size_t wanted = static_cast<std::size_t>(oldLength);
    if (std::fread(oldBytes.get(), 1, wanted, input.get()) < wanted) {
        return kJobInputReadFailed;
    }
    return kJobSucceeded;
}

bool inputMatches(const PayloadHeader& header, const std::uint8_t* oldBytes,
                  std::int32_t oldLength) {
    Md5Context context;
    md5Init(context);
    md5Append(context, oldBytes, oldLength);
    std::uint8_t digest[kMd5DigestSize] = {};
    md5Finish(context, digest);
    if (std::memcmp(digest, header.oldmd5, kMd5DigestSize) != 0) {
        return false;
    }
    return oldLength == header.oldsize;
}

JobStatus writeOutput(const char* outputName, const std::uint8_t* newBytes, std::int32_t newSize) {
    FileHandle output = openFile(outputName, "wb");
    if (!output) {
        return kJobOutputCreateFailed;
    }
    const std::size_t wanted = static_cast<std::size_t>(newSize);
    const bool written = std::fwrite(newBytes, 1, wanted, output.get()) == wanted;
    // Bytes still buffered can fail on close (a full disk): that is a short write too.
    const bool closed = std::fclose(output.release()) == 0;
    return written && closed ? kJobSucceeded : kJobWriteFailed;
}

// Every step of the job. The handles are declared in the reverse of the
// clean-up order, so leaving this function by any path closes the readers
// (extra, data, control), then their streams, then the staging write stream,
// deletes "temp.bin", and frees the new and then the old buffer.
JobStatus runJobSteps(PatchPayload payload, const char* inputName, const char* outputName) {
    PayloadHeader header;
    if (!readPayloadHeader(payload, header)) {
        return kJobPatchReadFailed;
    }

    ByteBuffer oldBytes;
    ByteBuffer newBytes;
    StagingFileRemover stagingRemover(kStagingFileName);
    FileHandle stagingWrite;
    FileHandle controlStream;
    FileHandle dataStream;
    FileHandle extraStream;
    BzReaderHandle controlReader;
    BzReaderHandle dataReader;
    BzReaderHandle extraReader;

    std::int32_t oldLength = 0;
    if (const JobStatus status = readInput(inputName, oldBytes, oldLength);
        status != kJobSucceeded) {
        return status;
    }
    if (!inputMatches(header, oldBytes.get(), oldLength)) {
        return kJobInputMismatch;
    }

    // A damaged header must not make the job read outside the payload block
    // or size a buffer from a negative length.
    if (!payloadHeaderIsSound(header, payload.size())) {
        return kJobPatchReadFailed;
    }
    stagingWrite = openFile(kStagingFileName, "wb");
    if (!stagingWrite) {
        return kJobStagingCreateFailed;
    }
    stagingRemover.arm();
    const std::size_t bodyLength =
        static_cast<std::size_t>(claimedPayloadLength(header)) - kPayloadHeaderSize;
    if (std::fwrite(payload.data() + kPayloadHeaderSize, 1, bodyLength, stagingWrite.get()) !=
            bodyLength ||
        std::fflush(stagingWrite.get()) != 0) {
        return kJobWriteFailed;
    }

    controlStream = openFile(kStagingFileName, "rb");
    dataStream = openFile(kStagingFileName, "rb");
    extraStream = openFile(kStagingFileName, "rb");
    if (!controlStream || !dataStream || !extraStream) {
        return kJobStagingOpenFailed;
    }
    std::fseek(controlStream.get(), 0, SEEK_SET);
    std::fseek(dataStream.get(), header.ctrlsize, SEEK_SET);
    std::fseek(extraStream.get(), long{header.ctrlsize} + header.datasize, SEEK_SET);

    controlReader = openBzReader(controlStream.get());
    dataReader = openBzReader(dataStream.get());
    extraReader = openBzReader(extraStream.get());
    if (!controlReader || !dataReader || !extraReader) {
        return kJobDecoderOpenFailed;
    }

    std::printf("ctrlsize: 0x%x\n", static_cast<unsigned>(header.ctrlsize));
    std::printf("datasize: 0x%x\n", static_cast<unsigned>(header.datasize));
    std::printf("extrasize: 0x%x\n", static_cast<unsigned>(header.extrasize));

    newBytes = allocateBytes(static_cast<std::size_t>(header.newsize) + 1);
    if (!newBytes) {
        return kJobOutputCreateFailed;  // the output cannot be built in memory
    }
    if (const JobStatus status =
            rebuildOutput(controlReader.get(), dataReader.get(), extraReader.get(), newBytes.get(),
                          header.newsize, oldBytes.get(), oldLength);
        status != kJobSucceeded) {
        return status;
    }
    return writeOutput(outputName, newBytes.get(), header.newsize);
}

void reportFailure(JobStatus status, const char* inputName, const char* outputName) {
    const char* text = jobMessageTemplate(status);
    if (text == nullptr) {
        return;
    }
    char message[kMessageBufferSize];
    std::snprintf(message, sizeof message, text,
                  jobMessageNamesOutput(status) ? outputName : inputName);
    showMessage(message, kErrorTitle, MessageIcon::error);
}

}  // namespace

StagingFileRemover::~StagingFileRemover() {
    if (armed_) {
        deleteFileByName(name_);
    }
}

JobStatus runPatchJob(PatchPayload payload, const char* inputName, const char* outputName) {
    const JobStatus status = runJobSteps(payload, inputName, outputName);
    if (status != kJobSucceeded) {
        reportFailure(status, inputName, outputName);
    }
    return status;
}
