#include "tools/mkpayload/input_file.h"

#include <fcntl.h>
#include <sys/mman.h>
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

void InputFile::release() {
    if (mapping_ != nullptr) {
        munmap(mapping_, size_);
    }
    mapping_ = nullptr;
    size_ = 0;
}

MakeStatus readInputFile(const char* name, InputFile& file) {
    file.release();
    const Descriptor input{open(name, O_RDONLY)};
    if (input.fd < 0) {
        return reportSystemError("open", name);
    }
    struct stat info;
    if (fstat(input.fd, &info) != 0) {
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
    if (info.st_size == 0) {
        return kMakeSucceeded;  // nothing to map
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    void* mapping = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, input.fd, 0);
    if (mapping == MAP_FAILED) {
        return reportSystemError("read", name);
    }
    file.mapping_ = static_cast<std::uint8_t*>(mapping);
    file.size_ = size;
    return kMakeSucceeded;
}

}  // namespace mkpayload
