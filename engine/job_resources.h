#pragma once

#include <bzlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

// Owning handles for what a patch job acquires. Each releases only what was
// obtained; the job declares them so that their destruction order is its
// clean-up order.

struct FileCloser {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

inline FileHandle openFile(const char* name, const char* mode) {
    return FileHandle(std::fopen(name, mode));
}

struct BzReaderCloser {
    void operator()(BZFILE* reader) const {
        int bzError = 0;
        BZ2_bzReadClose(&bzError, reader);  // leaves the file stream open
    }
};
using BzReaderHandle = std::unique_ptr<BZFILE, BzReaderCloser>;

// Opens a decoder on `stream` at its current position; reads nothing yet.
inline BzReaderHandle openBzReader(std::FILE* stream) {
    int bzError = 0;
    BZFILE* reader = BZ2_bzReadOpen(&bzError, stream, 0, 0, nullptr, 0);
    if (bzError != BZ_OK) {
        return BzReaderHandle();  // a failed open has already released itself
    }
    return BzReaderHandle(reader);
}

struct FreeDeleter {
    void operator()(std::uint8_t* bytes) const { std::free(bytes); }
};
// A byte buffer from the global allocator; empty when allocation failed.
using ByteBuffer = std::unique_ptr<std::uint8_t[], FreeDeleter>;

inline ByteBuffer allocateBytes(std::size_t count) {
    return ByteBuffer(static_cast<std::uint8_t*>(std::malloc(count)));
}

// Deletes the staging file when the job lets go of it, once it was created.
class StagingFileRemover {
  public:
    explicit StagingFileRemover(const char* name) : name_(name) {}
    StagingFileRemover(const StagingFileRemover&) = delete;
    StagingFileRemover& operator=(const StagingFileRemover&) = delete;
    ~StagingFileRemover();

    void arm() { armed_ = true; }

  private:
    const char* name_;
    bool armed_ = false;
};
