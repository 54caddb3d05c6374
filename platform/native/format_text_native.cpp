#include <cstdarg>
#include <cstdio>

#include "platform/platform.h"

int formatText(std::span<char> out, const char* format, ...) {
    if (out.empty()) {
        return -1;
    }
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(out.data(), out.size(), format, arguments);
    va_end(arguments);
    if (length < 0 || static_cast<std::size_t>(length) >= out.size()) {
        out[0] = '\0';  // refuse a cut-off text rather than show half of it
        return -1;
    }
    return length;
}
