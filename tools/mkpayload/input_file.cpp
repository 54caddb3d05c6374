#include "tools/mkpayload/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace mkpayload {

namespace {

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) {
            close(fd);
        }
    }
};

MakeStatus reportSystemError(const char* what, const char* name) {
    std::fprintf(stderr, "mkpayload: cannot %s '%s': %s\n", what, name, std::strerror(errno));
    return kMakeInputFailed;
}

}  // namespace

MakeStatus readInputFile(const char* name, std::vector<std::uint8_t>& bytes) {
    const Descriptor file{open(name, O_RDONLY)};
    if (file.fd < 0) {
        return reportSystemError("open", name);
    }
    struct stat info;
    if (fstat(file.fd, &info) != 0) {
        return reportSystemError("examine", name);
    }
    if (!S_ISREG(info.st_mode)) {
        std::fprintf(stderr, "mkpayload: '%s' is not a regular file\n", name);
        return kMakeInputFailed;
    }
    if (info.st_size > kLargestInput) {
        std::fprintf(stderr, "mkpayload: '%s' has %lld bytes; inputs must be below 2^31 bytes\n",
                     name, static_cast<long long>(info.st_size));
        return kMakeInputFailed;
    }
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t count = read(file.fd, bytes.data() + filled, bytes.size() - filled);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return reportSystemError("read", name);
        }
        if (count == 0) {
            std::fprintf(stderr, "mkpayload: '%s' shrank while being read\n", name);
            return kMakeInputFailed;
        }
        filled += static_cast<std::size_t>(count);
    }
    return kMakeSucceeded;
}

}  // namespace mkpayload
