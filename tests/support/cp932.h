#pragma once

#include <string>

// Code page 932 bytes of a UTF-8 text, by the platform's own converter, so
// that tests can write the expected Japanese as it reads.
std::string cp932FromUtf8(const std::string& utf8);
