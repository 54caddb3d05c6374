#include "tools/mkpayload/huge_page_array.h"

#include <sys/mman.h>

namespace mkpayload {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

HugePageArray makeHugePageArray(std::size_t count) {
    const std::size_t wanted = (count == 0 ? 1 : count) * sizeof(std::int32_t);
    if (wanted < kHugePage) {
        return HugePageArray(static_cast<std::int32_t*>(std::malloc(wanted)));
    }
    const std::size_t rounded = (wanted + kHugePage - 1) / kHugePage * kHugePage;
    HugePageArray array(static_cast<std::int32_t*>(std::aligned_alloc(kHugePage, rounded)));
    if (array) {
        // Only advice: without it the array still works, on small pages.
        madvise(array.get(), rounded, MADV_HUGEPAGE);
    }
    return array;
}

}  // namespace mkpayload
