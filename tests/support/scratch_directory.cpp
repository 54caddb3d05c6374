#include "tests/support/scratch_directory.h"

#include <atomic>
#include <chrono>
#include <string>

namespace {
std::atomic<unsigned> scratchCounter{0};
}

ScratchDirectory::ScratchDirectory() : previous_(std::filesystem::current_path()) {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        path_ = std::filesystem::temp_directory_path() /
                ("tavrin-test-" + std::to_string(stamp) + "-" + std::to_string(scratchCounter++));
        if (std::filesystem::create_directory(path_)) {
            break;
        }
    }
    std::filesystem::current_path(path_);
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
}
