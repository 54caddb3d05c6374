#include "engine/payload_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

TEST(PayloadHeader, ReadsLittleEndianSignedFieldsAtAnyAlignment) {
    const std::uint8_t header[36] = {0x01, 0x02, 0x03, 0x04,  // ctrlsize
                                     0xff, 0xff, 0xff, 0xff,  // datasize: -1
                                     0x00, 0x00, 0x00, 0x80,  // extrasize: INT32_MIN
                                     0xff, 0xff, 0xff, 0x7f,  // newsize: INT32_MAX
                                     0x10, 0x00, 0x00, 0x00,  // oldsize
                                     0,    1,    2,    3,    4,  5,  6,  7,
                                     8,    9,    10,   11,   12, 13, 14, 15};
    for (std::size_t offset = 0; offset < 4; ++offset) {
        std::vector<std::uint8_t> block(offset + sizeof header);
        std::memcpy(block.data() + offset, header, sizeof header);
        PayloadHeader read{};
        ASSERT_TRUE(readPayloadHeader(PatchPayload(block).subspan(offset), read));
        EXPECT_EQ(read.ctrlsize, 0x04030201) << "offset " << offset;
        EXPECT_EQ(read.datasize, -1);
        EXPECT_EQ(read.extrasize, kInt32Min);
        EXPECT_EQ(read.newsize, kInt32Max);
        EXPECT_EQ(read.oldsize, 16);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(read.oldmd5[i], i);
        }
    }
}

TEST(PayloadHeader, RefusesABlockShorterThanTheHeader) {
    const std::vector<std::uint8_t> block(35, 0);
    PayloadHeader read{};
    read.ctrlsize = 77;
    EXPECT_FALSE(readPayloadHeader(PatchPayload(block), read));
    EXPECT_EQ(read.ctrlsize, 77) << "left untouched";
    EXPECT_FALSE(readPayloadHeader(PatchPayload(), read));
}

struct SoundnessCase {
    const char* name;
    std::int32_t ctrlsize, datasize, extrasize, newsize;
    std::size_t blockSize;
    bool sound;
};

const SoundnessCase kSoundnessCases[] = {
    {"exact block", 10, 20, 30, 100, 96, true},
    {"block longer than the streams", 10, 20, 30, 100, 500, true},
    {"empty streams and output", 0, 0, 0, 0, 36, true},
    {"negative ctrlsize", -1, 20, 30, 100, 500, false},
    {"negative datasize", 10, -1, 30, 100, 500, false},
    {"negative extrasize", 10, 20, -1, 100, 500, false},
    {"negative newsize", 10, 20, 30, -1, 500, false},
    {"lengths reach past the block", 10, 20, 30, 100, 95, false},
    {"sum overflows 32 bits", kInt32Max, kInt32Max, 2, 100, std::numeric_limits<std::size_t>::max(),
     false},
    {"sum just fits 32 bits", kInt32Max - 2, 1, 1, 0, std::numeric_limits<std::size_t>::max(),
     true},
};

TEST(PayloadHeader, SoundnessTable) {
    for (const SoundnessCase& c : kSoundnessCases) {
        PayloadHeader header{};
        header.ctrlsize = c.ctrlsize;
        header.datasize = c.datasize;
        header.extrasize = c.extrasize;
        header.newsize = c.newsize;
        EXPECT_EQ(payloadHeaderIsSound(header, c.blockSize), c.sound) << c.name;
    }
}

TEST(PayloadHeader, ClaimedLengthDoesNotOverflow) {
    PayloadHeader header{};
    header.ctrlsize = kInt32Max;
    header.datasize = kInt32Max;
    header.extrasize = kInt32Max;
    EXPECT_EQ(claimedPayloadLength(header), 36 + 3 * std::int64_t{kInt32Max});
}

}  // namespace
