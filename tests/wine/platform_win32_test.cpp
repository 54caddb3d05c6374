// The Win32 side of the platform layer on the real system calls: resources
// of this test's own image and wvsprintfA's limits.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace {

// Must match platform_win32_test.rc, which embeds this text under id 101.
constexpr std::string_view kResourceText = "BIN resource of the platform test\n";

TEST(Win32Payloads, FindsABinResourceWithItsExactLength) {
    const std::optional<PatchPayload> payload = findEmbeddedPayload(101);
    ASSERT_TRUE(payload.has_value());
    const std::string bytes(reinterpret_cast<const char*>(payload->data()), payload->size());
    EXPECT_EQ(bytes, kResourceText);
}

TEST(Win32Payloads, MissingIdGivesNothing) {
    EXPECT_FALSE(findEmbeddedPayload(102).has_value());
}

TEST(Win32Payloads, SameIdOfAnotherTypeIsNotAPayload) {
    // Id 103 exists only as an RCDATA resource.
    EXPECT_FALSE(findEmbeddedPayload(103).has_value());
}

TEST(Win32FormatText, FormatsSignedDecimalsAndTwoDigitHex) {
    std::array<char, 32> out{};
    EXPECT_EQ(formatText(out, "%d %02x%02x", -5, 0x0a, 0xff), 7);
    EXPECT_STREQ(out.data(), "-5 0aff");
}

TEST(Win32FormatText, TextThatJustFitsIsKept) {
    std::array<char, 4> out{};
    EXPECT_EQ(formatText(out, "%d", 123), 3);
    EXPECT_STREQ(out.data(), "123");
}

TEST(Win32FormatText, TextOneTooLongIsRefusedAndLeftEmpty) {
    std::array<char, 4> out{'x', 'x', 'x', 'x'};
    EXPECT_EQ(formatText(out, "%d", 1234), -1);
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(out[3], 'x') << "nothing is written past what the refusal needs";
}

TEST(Win32FormatText, TextAtTheFormattersLimitIsRefusedEvenInALargeBuffer) {
    // wvsprintfA cuts texts at its 1024-byte limit; from 1023 characters on
    // a text may have been cut short.
    std::array<char, 2048> out{};
    for (const std::size_t length : {std::size_t{1023}, std::size_t{1024}, std::size_t{1100}}) {
        const std::string tooLong(length, 'a');
        EXPECT_EQ(formatText(out, tooLong.c_str()), -1) << length;
    }
    const std::string fits(1022, 'b');
    EXPECT_EQ(formatText(out, fits.c_str()), 1022);
    EXPECT_EQ(std::string(out.data()), fits);
}

TEST(Win32FormatText, EmptyBufferIsRefused) {
    EXPECT_EQ(formatText(std::span<char>(), "x"), -1);
}

}  // namespace
