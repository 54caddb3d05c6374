#pragma once

#include <cstdint>
#include <span>

#include "tools/mkpayload/make_status.h"

namespace mkpayload {

// Inputs must fit the container's signed 32-bit sizes.
inline constexpr std::int64_t kLargestInput = 0x7fffffff;

// An input file mapped read-only into memory: mapping the page cache's pages
// avoids copying the file and faulting in fresh pages for the copy.
class InputFile {
  public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile() { release(); }

    std::span<const std::uint8_t> bytes() const { return {mapping_, size_}; }
    void release();

  private:
    friend MakeStatus readInputFile(const char* name, InputFile& file);
    std::uint8_t* mapping_ = nullptr;
    std::size_t size_ = 0;
};

// Maps the file `name` whole into `file`. Refuses files of 2^31 bytes or more.
MakeStatus readInputFile(const char* name, InputFile& file);

}  // namespace mkpayload
