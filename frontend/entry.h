#pragma once

// The whole program behind the platform's entry point (main or WinMain).
int generatorMain();
