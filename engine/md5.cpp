#include "engine/md5.h"

#include <bit>
#include <cstring>

namespace {

// 0x80 and then zeros: the padding appended by md5Finish.
constexpr std::uint8_t kPad[64] = {0x80};

// F and G in equivalent forms that are shorter on the chain through x, the
// word the previous step just produced: F selects with one AND between two
// XORs, and G's two terms share no bit, so their OR is a sum the compiler can
// start before x is ready.
constexpr std::uint32_t auxF(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return z ^ (x & (y ^ z));  // (x & y) | (~x & z)
}
constexpr std::uint32_t auxG(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return (x & z) + (y & ~z);  // (x & z) | (y & ~z)
}
constexpr std::uint32_t auxH(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return x ^ y ^ z;
}
constexpr std::uint32_t auxI(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return y ^ (x | ~z);
}

// One step of the compression: a = b + ((a + f(b, c, d) + x + t) <<< s).
// Every call below passes its shift and constant as literals, so after
// inlining each step is straight-line code with immediates. The word and the
// constant are added first: they do not wait for the previous step.
template <std::uint32_t (*aux)(std::uint32_t, std::uint32_t, std::uint32_t)>
inline void step(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                 std::uint32_t x, int s, std::uint32_t t) {
    a += x + t;
    a += aux(b, c, d);
    a = b + std::rotl(a, s);
}

std::uint32_t loadLittleEndian32(const std::uint8_t* bytes) {
    std::uint32_t word;
    std::memcpy(&word, bytes, sizeof word);  // any alignment; a plain load on x86
    if constexpr (std::endian::native == std::endian::big) {
        word = (word >> 24) | ((word >> 8) & 0xff00u) | ((word << 8) & 0xff0000u) | (word << 24);
    }
    return word;
}

// Compresses one 64-byte block, wherever it lies in memory, into the chaining
// words.
void md5ProcessBlock(Md5Context& context, const std::uint8_t* block) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i) {
        x[i] = loadLittleEndian32(block + 4 * i);
    }
    std::uint32_t a = context.chainingWords[0];
    std::uint32_t b = context.chainingWords[1];
    std::uint32_t c = context.chainingWords[2];
    std::uint32_t d = context.chainingWords[3];

    // Round 1: auxiliary function F.
    step<auxF>(a, b, c, d, x[0], 7, 0xd76aa478);
    step<auxF>(d, a, b, c, x[1], 12, 0xe8c7b756);
    step<auxF>(c, d, a, b, x[2], 17, 0x242070db);
    step<auxF>(b, c, d, a, x[3], 22, 0xc1bdceee);
    step<auxF>(a, b, c, d, x[4], 7, 0xf57c0faf);
    step<auxF>(d, a, b, c, x[5], 12, 0x4787c62a);
    step<auxF>(c, d, a, b, x[6], 17, 0xa8304613);
    step<auxF>(b, c, d, a, x[7], 22, 0xfd469501);
    step<auxF>(a, b, c, d, x[8], 7, 0x698098d8);
    step<auxF>(d, a, b, c, x[9], 12, 0x8b44f7af);
    step<auxF>(c, d, a, b, x[10], 17, 0xffff5bb1);
    step<auxF>(b, c, d, a, x[11], 22, 0x895cd7be);
    step<auxF>(a, b, c, d, x[12], 7, 0x6b901122);
    step<auxF>(d, a, b, c, x[13], 12, 0xfd987193);
    step<auxF>(c, d, a, b, x[14], 17, 0xa679438e);
    step<auxF>(b, c, d, a, x[15], 22, 0x49b40821);
    // Round 2: auxiliary function G.
    step<auxG>(a, b, c, d, x[1], 5, 0xf61e2562);
    step<auxG>(d, a, b, c, x[6], 9, 0xc040b340);
    step<auxG>(c, d, a, b, x[11], 14, 0x265e5a51);
    step<auxG>(b, c, d, a, x[0], 20, 0xe9b6c7aa);
    step<auxG>(a, b, c, d, x[5], 5, 0xd62f105d);
    step<auxG>(d, a, b, c, x[10], 9, 0x02441453);
    step<auxG>(c, d, a, b, x[15], 14, 0xd8a1e681);
    step<auxG>(b, c, d, a, x[4], 20, 0xe7d3fbc8);
    step<auxG>(a, b, c, d, x[9], 5, 0x21e1cde6);
    step<auxG>(d, a, b, c, x[14], 9, 0xc33707d6);
    step<auxG>(c, d, a, b, x[3], 14, 0xf4d50d87);
    step<auxG>(b, c, d, a, x[8], 20, 0x455a14ed);
    step<auxG>(a, b, c, d, x[13], 5, 0xa9e3e905);
    step<auxG>(d, a, b, c, x[2], 9, 0xfcefa3f8);
    step<auxG>(c, d, a, b, x[7], 14, 0x676f02d9);
    step<auxG>(b, c, d, a, x[12], 20, 0x8d2a4c8a);
    // Round 3: auxiliary function H.
    step<auxH>(a, b, c, d, x[5], 4, 0xfffa3942);
    step<auxH>(d, a, b, c, x[8], 11, 0x8771f681);
    step<auxH>(c, d, a, b, x[11], 16, 0x6d9d6122);
    step<auxH>(b, c, d, a, x[14], 23, 0xfde5380c);
    step<auxH>(a, b, c, d, x[1], 4, 0xa4beea44);
    step<auxH>(d, a, b, c, x[4], 11, 0x4bdecfa9);
    step<auxH>(c, d, a, b, x[7], 16, 0xf6bb4b60);
    step<auxH>(b, c, d, a, x[10], 23, 0xbebfbc70);
    step<auxH>(a, b, c, d, x[13], 4, 0x289b7ec6);
    step<auxH>(d, a, b, c, x[0], 11, 0xeaa127fa);
    step<auxH>(c, d, a, b, x[3], 16, 0xd4ef3085);
    step<auxH>(b, c, d, a, x[6], 23, 0x04881d05);
    step<auxH>(a, b, c, d, x[9], 4, 0xd9d4d039);
    step<auxH>(d, a, b, c, x[12], 11, 0xe6db99e5);
    step<auxH>(c, d, a, b, x[15], 16, 0x1fa27cf8);
    step<auxH>(b, c, d, a, x[2], 23, 0xc4ac5665);
    // Round 4: auxiliary function I.
    step<auxI>(a, b, c, d, x[0], 6, 0xf4292244);
    step<auxI>(d, a, b, c, x[7], 10, 0x432aff97);
    step<auxI>(c, d, a, b, x[14], 15, 0xab9423a7);
    step<auxI>(b, c, d, a, x[5], 21, 0xfc93a039);
    step<auxI>(a, b, c, d, x[12], 6, 0x655b59c3);
    step<auxI>(d, a, b, c, x[3], 10, 0x8f0ccc92);
    step<auxI>(c, d, a, b, x[10], 15, 0xffeff47d);
    step<auxI>(b, c, d, a, x[1], 21, 0x85845dd1);
    step<auxI>(a, b, c, d, x[8], 6, 0x6fa87e4f);
    step<auxI>(d, a, b, c, x[15], 10, 0xfe2ce6e0);
    step<auxI>(c, d, a, b, x[6], 15, 0xa3014314);
    step<auxI>(b, c, d, a, x[13], 21, 0x4e0811a1);
    step<auxI>(a, b, c, d, x[4], 6, 0xf7537e82);
    step<auxI>(d, a, b, c, x[11], 10, 0xbd3af235);
    step<auxI>(c, d, a, b, x[2], 15, 0x2ad7d2bb);
    step<auxI>(b, c, d, a, x[9], 21, 0xeb86d391);

    context.chainingWords[0] += a;
    context.chainingWords[1] += b;
    context.chainingWords[2] += c;
    context.chainingWords[3] += d;
}

}  // namespace

void md5Init(Md5Context& context) {
    context.bitCount[0] = 0;
    context.bitCount[1] = 0;
    context.chainingWords[0] = 0x67452301;
    context.chainingWords[1] = 0xefcdab89;
    context.chainingWords[2] = 0x98badcfe;
    context.chainingWords[3] = 0x10325476;
}

void md5Append(Md5Context& context, const std::uint8_t* data, std::int32_t length) {
    if (length <= 0) {
        return;
    }
    const auto byteCount = static_cast<std::uint32_t>(length);
    const std::uint32_t buffered = (context.bitCount[0] >> 3) & 63;

    const std::uint32_t addedBits = byteCount << 3;
    context.bitCount[0] += addedBits;
    context.bitCount[1] += byteCount >> 29;
    if (context.bitCount[0] < addedBits) {
        context.bitCount[1] += 1;  // the low word carried
    }

    std::uint32_t remaining = byteCount;
    if (buffered != 0) {
        const std::uint32_t room = 64 - buffered;
        const std::uint32_t copied = remaining < room ? remaining : room;
        std::memcpy(context.blockBuffer + buffered, data, copied);
        if (buffered + copied < 64) {
            return;
        }
        md5ProcessBlock(context, context.blockBuffer);
        data += copied;
        remaining -= copied;
    }
    for (; remaining >= 64; remaining -= 64, data += 64) {
        md5ProcessBlock(context, data);
    }
    if (remaining != 0) {
        std::memcpy(context.blockBuffer, data, remaining);
    }
}

void md5Finish(Md5Context& context, std::uint8_t digest[16]) {
    std::uint8_t lengthBytes[8];
    for (int i = 0; i < 8; ++i) {
        lengthBytes[i] = static_cast<std::uint8_t>(context.bitCount[i >> 2] >> (8 * (i & 3)));
    }
    const std::int32_t padLength =
        static_cast<std::int32_t>(((55 - (context.bitCount[0] >> 3)) & 63) + 1);
    md5Append(context, kPad, padLength);
    md5Append(context, lengthBytes, 8);
    for (int i = 0; i < 16; ++i) {
        digest[i] = static_cast<std::uint8_t>(context.chainingWords[i >> 2] >> (8 * (i & 3)));
    }
}
