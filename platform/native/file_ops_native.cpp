#include <cstdio>

#include "platform/platform.h"

void deleteFileByName(const char* name) {
    std::remove(name);
}
