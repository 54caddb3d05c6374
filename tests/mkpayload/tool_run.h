#pragma once

#include <string>
#include <vector>

// What one run of the built mkpayload left behind.
struct ToolRun {
    int exitStatus;  // 128 + signal number when it was killed
    std::string standardOutput;
    std::string standardError;
};

// Runs mkpayload with `arguments` in the current directory, capturing its
// output, and waits for it.
ToolRun runMkpayload(const std::vector<std::string>& arguments);
