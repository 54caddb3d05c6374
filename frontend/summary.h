#pragma once

#include <cstddef>
#include <span>

#include "engine/payload_header.h"

inline constexpr std::size_t kSummaryBufferSize = 256;
// The formatter takes a fixed argument list: 17 values for each of this many rows.
inline constexpr std::size_t kMaxSummaryRows = 4;

// Formats `summaryTemplate` with each header's `oldsize` and `oldmd5`, row by
// row. Returns false, leaving an empty text, when there are more rows than
// the formatter takes or the text would not fit in the buffer.
bool formatSummary(std::span<char, kSummaryBufferSize> out, const char* summaryTemplate,
                   std::span<const PayloadHeader> headers);

// Counts of the template's conversions and its longest possible text, so that
// each program can prove at compile time that its summary always fits.
struct SummaryTemplateShape {
    std::size_t decimalFields = 0;  // "%d"
    std::size_t hexFields = 0;      // "%02x"
    std::size_t otherConversions = 0;
    std::size_t worstCaseLength = 0;
};

constexpr SummaryTemplateShape summaryTemplateShape(const char* summaryTemplate) {
    constexpr std::size_t kLongestDecimal = 11;  // "-2147483648"
    SummaryTemplateShape shape;
    for (const char* cursor = summaryTemplate; *cursor != '\0';) {
        if (cursor[0] == '%' && cursor[1] == 'd') {
            ++shape.decimalFields;
            shape.worstCaseLength += kLongestDecimal;
            cursor += 2;
        } else if (cursor[0] == '%' && cursor[1] == '0' && cursor[2] == '2' && cursor[3] == 'x') {
            ++shape.hexFields;
            shape.worstCaseLength += 2;
            cursor += 4;
        } else {
            if (cursor[0] == '%') {
                ++shape.otherConversions;
            }
            ++shape.worstCaseLength;
            ++cursor;
        }
    }
    return shape;
}

// True when a template for `rows` rows has exactly the expected conversions
// and its longest text fits the summary buffer with its terminator.
constexpr bool summaryTemplateFits(const char* summaryTemplate, std::size_t rows) {
    const SummaryTemplateShape shape = summaryTemplateShape(summaryTemplate);
    return rows <= kMaxSummaryRows && shape.decimalFields == rows && shape.hexFields == 16 * rows &&
           shape.otherConversions == 0 && shape.worstCaseLength < kSummaryBufferSize;
}
