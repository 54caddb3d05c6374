#include "frontend/entry.h"

int main() {
    return generatorMain();
}
