// The patch job and the MD5 digest as plain commands, so that `run` can time
// them like bspatch and md5sum:
//
//   patch_job_driver job PAYLOAD INPUT OUTPUT   runs one job; exit status = job status
//   patch_job_driver md5 FILE                   prints the digest the way md5sum does
//
// The payload file is read into a buffer of exactly its size, standing in for
// the block the program image holds. Dialogs go to standard error.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/md5.h"
#include "engine/patch_job.h"
#include "platform/dialog_seam.h"

namespace {

MessageAnswer printDialog(const DialogRequest& request) {
    std::fprintf(stderr, "patch_job_driver: dialog: %s\n", request.text);
    return MessageAnswer::ok;
}

bool readWhole(const char* name, std::vector<std::uint8_t>& bytes) {
    std::FILE* stream = std::fopen(name, "rb");
    if (stream == nullptr) {
        return false;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(stream, std::fclose);
    if (std::fseek(stream, 0, SEEK_END) != 0) {
        return false;
    }
    const long length = std::ftell(stream);
    if (length < 0 || length > INT32_MAX || std::fseek(stream, 0, SEEK_SET) != 0) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(length));
    return std::fread(bytes.data(), 1, bytes.size(), stream) == bytes.size();
}

int runJob(const char* payloadName, const char* inputName, const char* outputName) {
    std::vector<std::uint8_t> payload;
    if (!readWhole(payloadName, payload)) {
        std::fprintf(stderr, "patch_job_driver: cannot read %s\n", payloadName);
        return 1;
    }
    setDialogHandler(printDialog);
    return runPatchJob(PatchPayload(payload), inputName, outputName);
}

// Streams the file through a 32 KiB buffer, as md5sum does, so that the two
// commands differ only in their MD5 code.
int printDigest(const char* name) {
    std::FILE* stream = std::fopen(name, "rb");
    if (stream == nullptr) {
        std::fprintf(stderr, "patch_job_driver: cannot read %s\n", name);
        return 1;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(stream, std::fclose);
    Md5Context context;
    md5Init(context);
    static std::uint8_t buffer[32768];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, stream)) > 0) {
        md5Append(context, buffer, static_cast<std::int32_t>(count));
    }
    if (std::ferror(stream) != 0) {
        std::fprintf(stderr, "patch_job_driver: cannot read %s\n", name);
        return 1;
    }
    std::uint8_t digest[16];
    md5Finish(context, digest);
    for (const std::uint8_t byte : digest) {
        std::printf("%02x", byte);
    }
    std::printf("  %s\n", name);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "job") == 0) {
        return runJob(argv[2], argv[3], argv[4]);
    }
    if (argc == 3 && std::strcmp(argv[1], "md5") == 0) {
        return printDigest(argv[2]);
    }
    std::fprintf(stderr,
                 "usage: patch_job_driver job PAYLOAD INPUT OUTPUT\n"
                 "       patch_job_driver md5 FILE\n");
    return 1;
}
