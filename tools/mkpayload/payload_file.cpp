#include "tools/mkpayload/payload_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/mkpayload/record_emission.h"

namespace mkpayload {

namespace {

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    return true;
}

// Removes the temporary file unless it was renamed into place.
struct TemporaryFile {
    std::string name;
    int fd = -1;
    bool kept = false;
    ~TemporaryFile() {
        if (fd >= 0) {
            close(fd);
        }
        if (!kept && !name.empty()) {
            unlink(name.c_str());
        }
    }
};

MakeStatus reportWriteError(const char* what, const std::string& name) {
    std::fprintf(stderr, "mkpayload: cannot %s '%s': %s\n", what, name.c_str(),
                 std::strerror(errno));
    return kMakeWriteFailed;
}

}  // namespace

std::array<std::uint8_t, kPayloadHeaderSize> encodePayloadHeader(const PayloadHeader& header) {
    std::array<std::uint8_t, kPayloadHeaderSize> bytes{};
    writeLittleEndian32(header.ctrlsize, bytes.data() + 0);
    writeLittleEndian32(header.datasize, bytes.data() + 4);
    writeLittleEndian32(header.extrasize, bytes.data() + 8);
    writeLittleEndian32(header.newsize, bytes.data() + 12);
    writeLittleEndian32(header.oldsize, bytes.data() + 16);
    std::memcpy(bytes.data() + 20, header.oldmd5, kMd5DigestSize);
    return bytes;
}

MakeStatus writePayloadFile(const char* path, std::span<const std::uint8_t> header,
                            std::span<const std::span<const std::uint8_t>> streams) {
    TemporaryFile temporary;
    std::string pattern = std::string(path) + ".tmp-XXXXXX";
    temporary.fd = mkstemp(pattern.data());
    if (temporary.fd < 0) {
        return reportWriteError("create a temporary file beside", path);
    }
    temporary.name = pattern;

    // mkstemp makes the file private; a payload gets the usual permissions.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(temporary.fd, 0666 & ~mask);

    bool written = writeAll(temporary.fd, header);
    for (const std::span<const std::uint8_t> stream : streams) {
        written = written && writeAll(temporary.fd, stream);
    }
    if (!written) {
        return reportWriteError("write", temporary.name);
    }
    const int fd = temporary.fd;
    temporary.fd = -1;
    if (close(fd) != 0) {
        return reportWriteError("write", temporary.name);
    }
    if (rename(temporary.name.c_str(), path) != 0) {
        return reportWriteError("replace", path);
    }
    temporary.kept = true;
    return kMakeSucceeded;
}

}  // namespace mkpayload
