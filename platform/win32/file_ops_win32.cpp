#include <windows.h>

#include "platform/platform.h"

void deleteFileByName(const char* name) {
    DeleteFileA(name);
}
