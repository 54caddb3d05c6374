#pragma once

#include <filesystem>

// A fresh, empty directory that is the current directory for the lifetime of
// the object; the previous directory is restored and the scratch one removed
// afterwards. The jobs work relative to the current directory.
class ScratchDirectory {
  public:
    ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    ~ScratchDirectory();

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};
