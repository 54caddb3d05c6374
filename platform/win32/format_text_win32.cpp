#include <windows.h>

#include <cstdarg>
#include <cstring>

#include "platform/platform.h"

namespace {
// wvsprintfA stops at its 1024-byte limit and cannot be told a smaller
// buffer, so it writes into room for its longest output. From 1023
// characters on, a full text and a cut-off one look alike: both are refused.
constexpr int kFormatterLimit = 1024;
constexpr int kLongestTrustedText = kFormatterLimit - 2;
}  // namespace

int formatText(std::span<char> out, const char* format, ...) {
    if (out.empty()) {
        return -1;
    }
    char scratch[kFormatterLimit + 1] = {};
    va_list arguments;
    va_start(arguments, format);
    const int length = wvsprintfA(scratch, format, arguments);
    va_end(arguments);
    if (length < 0 || length > kLongestTrustedText ||
        static_cast<std::size_t>(length) >= out.size()) {
        out[0] = '\0';  // refuse a cut-off text rather than show half of it
        return -1;
    }
    std::memcpy(out.data(), scratch, static_cast<std::size_t>(length) + 1);
    return length;
}
