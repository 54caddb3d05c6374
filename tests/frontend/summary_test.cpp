#include "frontend/summary.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace {

TEST(Summary, FormatsEachRowsSizeAndDigest) {
    PayloadHeader headers[2]{};
    headers[0].oldsize = 42;
    headers[1].oldsize = -7;
    for (int i = 0; i < 16; ++i) {
        headers[0].oldmd5[i] = static_cast<std::uint8_t>(i);
        headers[1].oldmd5[i] = static_cast<std::uint8_t>(0xf0 + i);
    }
    std::array<char, kSummaryBufferSize> out{};
    const char* summaryTemplate =
        "%d:%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x/"
        "%d:%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x";
    ASSERT_TRUE(formatSummary(out, summaryTemplate, headers));
    EXPECT_STREQ(out.data(),
                 "42:000102030405060708090a0b0c0d0e0f/-7:f0f1f2f3f4f5f6f7f8f9fafbfcfdfeff");
}

TEST(Summary, RefusesMoreRowsThanTheFormatterTakes) {
    PayloadHeader headers[kMaxSummaryRows + 1]{};
    std::array<char, kSummaryBufferSize> out{};
    out[0] = 'x';
    EXPECT_FALSE(formatSummary(out, "%d", headers));
    EXPECT_EQ(out[0], '\0');
}

TEST(Summary, TemplateShapeCountsFieldsAndWorstCase) {
    constexpr SummaryTemplateShape shape = summaryTemplateShape("ab%dc%02x%02x%s");
    EXPECT_EQ(shape.decimalFields, 1u);
    EXPECT_EQ(shape.hexFields, 2u);
    EXPECT_EQ(shape.otherConversions, 1u);
    EXPECT_EQ(shape.worstCaseLength, 2u + 11u + 1u + 4u + 2u);
}

struct FitCase {
    const char* name;
    std::string summaryTemplate;
    std::size_t rows;
    bool fits;
};

TEST(Summary, TemplateFitsTable) {
    const std::string row = "%d%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x";
    const FitCase cases[] = {
        {"one row", row, 1, true},
        {"two rows", row + row, 2, true},
        {"a field short", row, 2, false},
        {"a stray conversion", row + "%s", 1, false},
        {"longest text exactly fits", std::string(255 - 43, 'x') + row, 1, true},
        {"one byte too long", std::string(256 - 43, 'x') + row, 1, false},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(summaryTemplateFits(c.summaryTemplate.c_str(), c.rows), c.fits) << c.name;
    }
}

}  // namespace
