// Pieces of the payload maker linked straight into the test binary, beside
// the test support's payload builder: both define a ControlRecord and an
// encodeControlRecords, which only coexist because mkpayload's live in its
// namespace.

#include <bzlib.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "tests/support/payload_builder.h"
#include "tools/mkpayload/record_emission.h"
#include "tools/mkpayload/stream_compression.h"
#include "tools/mkpayload/suffix_index.h"

namespace {

Bytes decompressed(std::span<const std::uint8_t> stream, std::size_t expectedSize) {
    Bytes out(expectedSize + 1);
    auto size = static_cast<unsigned int>(out.size());
    const int status = BZ2_bzBuffToBuffDecompress(
        reinterpret_cast<char*>(out.data()), &size,
        reinterpret_cast<char*>(const_cast<std::uint8_t*>(stream.data())),
        static_cast<unsigned int>(stream.size()), 0, 0);
    EXPECT_EQ(status, BZ_OK);
    out.resize(status == BZ_OK ? size : 0);
    return out;
}

TEST(MkpayloadCore, ControlRecordsEncodeAsTheTestBuilderDoes) {
    const std::vector<mkpayload::ControlRecord> ours = {
        {0, 0, 0}, {7632865, 15, -414365}, {1, 2, 0x7fffffff}, {0, 9, -2147483647 - 1}};
    std::vector<ControlRecord> theirs;
    for (const auto& record : ours) {
        theirs.push_back({record.dataLength, record.extraLength, record.oldSeek});
    }
    EXPECT_EQ(mkpayload::encodeControlRecords(ours), encodeControlRecords(theirs));
}

TEST(MkpayloadCore, PiecesCompressAsOneStream) {
    const Bytes first = seededBytes(300000, 7);
    const Bytes second(500000, 0);
    const Bytes third = seededBytes(1000, 8);
    const std::span<const std::uint8_t> pieces[] = {first, {}, second, third};
    mkpayload::CompressedStream stream;
    ASSERT_EQ(mkpayload::compressStream(pieces, stream), mkpayload::kMakeSucceeded);
    ASSERT_GE(stream.size, 4U);
    EXPECT_EQ(std::memcmp(stream.bytes.get(), "BZh9", 4), 0);

    Bytes joined = first;
    joined.insert(joined.end(), second.begin(), second.end());
    joined.insert(joined.end(), third.begin(), third.end());
    EXPECT_TRUE(decompressed(stream.view(), joined.size()) == joined);
}

TEST(MkpayloadCore, EmptyInputGivesAnEmptyStream) {
    mkpayload::CompressedStream stream;
    ASSERT_EQ(mkpayload::compressStream({}, stream), mkpayload::kMakeSucceeded);
    EXPECT_EQ(std::memcmp(stream.bytes.get(), "BZh9", 4), 0);
    EXPECT_TRUE(decompressed(stream.view(), 0).empty());
}

// The same 64-byte word at several places; the search must report the full
// length and, among the equal places, the one nearest the preferred position.
TEST(MkpayloadCore, EqualMatchesPreferTheNearestPlace) {
    const Bytes word = seededBytes(64, 9);
    Bytes text = seededBytes(5000, 10);
    const std::array<std::size_t, 4> places = {100, 1500, 2600, 4100};
    for (const std::size_t at : places) {
        std::copy(word.begin(), word.end(), text.begin() + static_cast<std::ptrdiff_t>(at));
    }
    mkpayload::SuffixIndex index;
    ASSERT_EQ(mkpayload::buildSuffixIndex(text, index), mkpayload::kMakeSucceeded);
    for (const std::size_t preferred : places) {
        const mkpayload::SuffixMatch match =
            mkpayload::findLongestMatch(index, word, static_cast<std::int64_t>(preferred) + 3);
        EXPECT_EQ(match.length, 64);
        EXPECT_EQ(match.oldPosition, static_cast<std::int32_t>(preferred));
    }
}

// Above the size at which the index is cut in two slices: a match in the
// second slice is found at its place in the whole file.
TEST(MkpayloadCore, MatchesAreFoundInBothSlices) {
    Bytes text = seededBytes(3 << 20, 11);
    mkpayload::SuffixIndex index;
    ASSERT_EQ(mkpayload::buildSuffixIndex(text, index), mkpayload::kMakeSucceeded);
    for (const std::size_t at : {std::size_t{12345}, std::size_t{(3 << 20) - 5000}}) {
        const std::span<const std::uint8_t> pattern(text.data() + at, 200);
        const mkpayload::SuffixMatch match = mkpayload::findLongestMatch(index, pattern, 0);
        EXPECT_EQ(match.length, 200);
        EXPECT_EQ(match.oldPosition, static_cast<std::int32_t>(at));
    }
}

}  // namespace
