#include "platform/native/terminal_text.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cstring>

namespace {

// The codeset of the locale the environment asks for, without changing the
// process's own locale.
std::string environmentCodeset() {
    locale_t environmentLocale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (environmentLocale == static_cast<locale_t>(0)) {
        return "UTF-8";
    }
    std::string codeset = nl_langinfo_l(CODESET, environmentLocale);
    freelocale(environmentLocale);
    return codeset;
}

bool convert(const char* text, const char* toCodeset, std::string& converted) {
    iconv_t converter = iconv_open(toCodeset, "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    std::size_t inLeft = std::strlen(text);
    char* in = const_cast<char*>(text);  // iconv's interface is not const-correct
    std::string out(inLeft * 4 + 16, '\0');
    char* outCursor = out.data();
    std::size_t outLeft = out.size();
    const bool ok =
        iconv(converter, &in, &inLeft, &outCursor, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    if (!ok) {
        return false;
    }
    out.resize(out.size() - outLeft);
    converted = std::move(out);
    return true;
}

}  // namespace

std::string terminalTextFromCp932(const char* text) {
    std::string converted;
    if (convert(text, environmentCodeset().c_str(), converted) ||
        convert(text, "UTF-8", converted)) {
        return converted;
    }
    return text;  // not CP932 at all: show the bytes as they are
}
