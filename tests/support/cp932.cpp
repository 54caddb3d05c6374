#include "tests/support/cp932.h"

#ifdef _WIN32
#include <windows.h>

std::string cp932FromUtf8(const std::string& utf8) {
    const int wideLength =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        wideLength);
    const int length =
        WideCharToMultiByte(932, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(932, 0, wide.data(), wideLength, out.data(), length, nullptr, nullptr);
    return out;
}
#else
#include <iconv.h>

std::string cp932FromUtf8(const std::string& utf8) {
    iconv_t converter = iconv_open("CP932", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return "<no CP932 converter>";
    }
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* cursor = out.data();
    std::size_t outLeft = out.size();
    const bool ok =
        iconv(converter, &in, &inLeft, &cursor, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    if (!ok) {
        return "<not convertible>";
    }
    out.resize(out.size() - outLeft);
    return out;
}
#endif
