#pragma once

#include <string>

// Code page 932 text converted for this terminal: to the codeset of the
// user's locale, or to UTF-8 where that codeset cannot hold the text (the
// plain "C" locale, most often).
std::string terminalTextFromCp932(const char* text);
