#include <windows.h>

#include "frontend/entry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return generatorMain();
}
