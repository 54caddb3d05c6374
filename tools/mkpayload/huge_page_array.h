#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace mkpayload {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};

using HugePageArray = std::unique_ptr<std::int32_t[], FreeDeleter>;

// An uninitialised array of `count` integers, placed so that the kernel can
// back it with huge pages: the suffix sort touches it all over, and with
// small pages it spends much of its time on page faults and TLB misses.
// Null when out of memory.
HugePageArray makeHugePageArray(std::size_t count);

}  // namespace mkpayload
