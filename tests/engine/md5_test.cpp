#include "engine/md5.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string hexOf(const std::uint8_t digest[16]) {
    std::string hex;
    char pair[3];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        hex += pair;
    }
    return hex;
}

// Feeds `message` in pieces of `pieceLength` bytes (0: all at once), each
// piece copied to `misalignment` bytes past an aligned address first.
std::string digestInPieces(const std::string& message, std::size_t pieceLength,
                           std::size_t misalignment) {
    Md5Context context;
    md5Init(context);
    const std::size_t step = pieceLength == 0 ? message.size() : pieceLength;
    std::vector<std::uint8_t> staging(step + 16);
    for (std::size_t offset = 0; offset < message.size(); offset += step) {
        const std::size_t count = std::min(step, message.size() - offset);
        std::uint8_t* piece = staging.data() + misalignment;
        std::copy_n(message.data() + offset, count, piece);
        md5Append(context, piece, static_cast<std::int32_t>(count));
    }
    std::uint8_t digest[16];
    md5Finish(context, digest);
    return hexOf(digest);
}

struct KnownDigest {
    std::string message;
    const char* digest;
};

// The test suite of RFC 1321, appendix A.5.
const KnownDigest kRfc1321Suite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

struct Feeding {
    const char* name;
    std::size_t pieceLength;
    std::size_t misalignment;
};

const Feeding kFeedings[] = {
    {"whole", 0, 0},
    {"whole at +1", 0, 1},
    {"byte by byte", 1, 3},
    {"63-byte pieces", 63, 1},
    {"64-byte pieces", 64, 2},
    {"65-byte pieces", 65, 3},
    {"64-byte pieces aligned", 64, 0},
};

TEST(Md5, Rfc1321SuiteGivesTheSameDigestHoweverItIsFed) {
    for (const KnownDigest& known : kRfc1321Suite) {
        for (const Feeding& feeding : kFeedings) {
            EXPECT_EQ(digestInPieces(known.message, feeding.pieceLength, feeding.misalignment),
                      known.digest)
                << "message \"" << known.message << "\" fed " << feeding.name;
        }
    }
}

TEST(Md5, LongMessageAcrossManyBlocksIsIndependentOfPieces) {
    std::string message;
    for (int i = 0; i < 5000; ++i) {
        message += static_cast<char>(i * 31 + 7);
    }
    const std::string whole = digestInPieces(message, 0, 0);
    for (const Feeding& feeding : kFeedings) {
        EXPECT_EQ(digestInPieces(message, feeding.pieceLength, feeding.misalignment), whole)
            << feeding.name;
    }
}

TEST(Md5, ZeroAndNegativeLengthsChangeNothing) {
    const std::uint8_t bytes[] = {'a', 'b', 'c'};
    Md5Context context;
    md5Init(context);
    md5Append(context, bytes, 0);
    md5Append(context, bytes, -1);
    md5Append(context, bytes, 1);
    md5Append(context, bytes + 1, -2147483647 - 1);
    md5Append(context, bytes + 1, 2);
    md5Append(context, bytes, 0);
    std::uint8_t digest[16];
    md5Finish(context, digest);
    EXPECT_EQ(hexOf(digest), "900150983cd24fb0d6963f7d28e17f72");
}

// Around the padding boundaries: a 55-byte message finishes in one block,
// 56 and 64 bytes need a second one. The bit count after md5Finish tells how
// many bytes went through, pad and length included.
struct PaddingCase {
    std::size_t length;
    const char* digest;
    std::uint32_t bitsAfterFinish;
};

const PaddingCase kPaddingCases[] = {
    {55, "52c0e574e1198de5fe3f8f11440dcb1b", 64 * 8},
    {56, "46c9907fc908ee68b1e7b8e71286a518", 128 * 8},
    {63, "a62f6d59e837867693f042f5b8f5a236", 128 * 8},
    {64, "7160b8fb5e9e4023d549c3971fbaeead", 128 * 8},
    {65, "70bd662e7aefbda85a0f7244167b7897", 128 * 8},
    {128, "10b2da1a82f16d99a81a7203fe9f02cb", 192 * 8},
};

TEST(Md5, PaddingBoundaries) {
    for (const PaddingCase& padding : kPaddingCases) {
        std::vector<std::uint8_t> message(padding.length);
        for (std::size_t i = 0; i < message.size(); ++i) {
            message[i] = static_cast<std::uint8_t>(i * 7 + 3);
        }
        Md5Context context;
        md5Init(context);
        md5Append(context, message.data(), static_cast<std::int32_t>(message.size()));
        std::uint8_t digest[16];
        md5Finish(context, digest);
        EXPECT_EQ(hexOf(digest), padding.digest) << padding.length << " bytes";
        EXPECT_EQ(context.bitCount[0], padding.bitsAfterFinish) << padding.length << " bytes";
        EXPECT_EQ(context.bitCount[0] >> 3 & 63, 0u) << "the last block was compressed";
    }
}

TEST(Md5, PieceThatFillsAPartialBlockEmptiesTheBuffer) {
    std::uint8_t bytes[64];
    for (int i = 0; i < 64; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
    }
    Md5Context split;
    md5Init(split);
    md5Append(split, bytes, 20);
    md5Append(split, bytes + 20, 44);
    Md5Context whole;
    md5Init(whole);
    md5Append(whole, bytes, 64);
    EXPECT_EQ(split.bitCount[0], 512u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(split.chainingWords[i], whole.chainingWords[i]) << "word " << i;
    }
}

TEST(Md5, BitCountCarriesIntoTheHighWordAndWraps) {
    const std::uint8_t bytes[3] = {'x', 'y', 'z'};
    Md5Context context;
    md5Init(context);
    context.bitCount[0] = 0xfffffff8u;  // 2^29 - 1 bytes fed so far
    context.bitCount[1] = 0;
    md5Append(context, bytes, 1);
    EXPECT_EQ(context.bitCount[0], 0u);
    EXPECT_EQ(context.bitCount[1], 1u);

    context.bitCount[0] = 0xfffffff0u;
    context.bitCount[1] = 0xffffffffu;
    md5Append(context, bytes, 3);  // past 2^64 bits
    EXPECT_EQ(context.bitCount[0], 8u);
    EXPECT_EQ(context.bitCount[1], 0u);
}

TEST(Md5, FinishWritesTheHighWordOfTheBitCount) {
    // Two contexts that differ only in the high word of the count must finish
    // with different digests, since the full 64-bit length goes into the pad.
    Md5Context low;
    md5Init(low);
    Md5Context high;
    md5Init(high);
    high.bitCount[1] = 1;
    std::uint8_t lowDigest[16];
    std::uint8_t highDigest[16];
    md5Finish(low, lowDigest);
    md5Finish(high, highDigest);
    EXPECT_NE(hexOf(lowDigest), hexOf(highDigest));
    EXPECT_EQ(hexOf(lowDigest), "d41d8cd98f00b204e9800998ecf8427e");
}

}  // namespace
