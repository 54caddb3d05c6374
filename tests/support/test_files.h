#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

void writeFileBytes(const std::filesystem::path& path, const Bytes& bytes);
Bytes readFileBytes(const std::filesystem::path& path);

// Deterministic pseudo-random bytes, so failures reproduce.
Bytes seededBytes(std::size_t count, std::uint32_t seed);
