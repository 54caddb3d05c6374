#include "frontend/summary.h"

#include <array>
#include <utility>

#include "platform/platform.h"

namespace {

constexpr std::size_t kValuesPerRow = 1 + kMd5DigestSize;
constexpr std::size_t kValueCount = kValuesPerRow * kMaxSummaryRows;

// One call with every row's values; the formatter ignores the values of rows
// the template does not have.
template <std::size_t... index>
int formatWithValues(std::span<char> out, const char* summaryTemplate,
                     const std::array<int, kValueCount>& values, std::index_sequence<index...>) {
    return formatText(out, summaryTemplate, values[index]...);
}

}  // namespace

bool formatSummary(std::span<char, kSummaryBufferSize> out, const char* summaryTemplate,
                   std::span<const PayloadHeader> headers) {
    out[0] = '\0';
    if (headers.size() > kMaxSummaryRows) {
        return false;
    }
    std::array<int, kValueCount> values{};
    for (std::size_t row = 0; row < headers.size(); ++row) {
        const PayloadHeader& header = headers[row];
        values[row * kValuesPerRow] = header.oldsize;
        for (std::size_t i = 0; i < kMd5DigestSize; ++i) {
            values[row * kValuesPerRow + 1 + i] = header.oldmd5[i];
        }
    }
    return formatWithValues(out, summaryTemplate, values,
                            std::make_index_sequence<kValueCount>{}) >= 0;
}
