// Writes small stand-ins for the input and derived fonts (deterministic
// bytes with insertions, deletions and changes between each pair), so the
// end-to-end tests can embed payloads of their own.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes seeded(std::size_t count, std::uint32_t seed) {
    Bytes bytes(count);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::uint8_t& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

// A derived file: most of the input, with bytes changed, a block inserted
// and a block dropped, as a renamed and re-spaced font would differ.
Bytes derive(const Bytes& input, std::uint32_t seed) {
    Bytes output(input.begin(), input.begin() + input.size() / 3);
    const Bytes inserted = seeded(4000, seed);
    output.insert(output.end(), inserted.begin(), inserted.end());
    output.insert(output.end(), input.begin() + input.size() / 2, input.end());
    for (std::size_t at = 97; at < output.size(); at += 1013) {
        output[at] = static_cast<std::uint8_t>(output[at] + 1);
    }
    return output;
}

bool write(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fixture_fonts DIRECTORY\n");
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    std::filesystem::create_directories(directory);
    const Bytes gothic = seeded(120000, 1);
    const Bytes gothicBold = seeded(110000, 2);
    const bool written = write(directory / "lumora.ttc", gothic) &&
                         write(directory / "lumorab.ttc", gothicBold) &&
                         write(directory / "TavrinGothic.ttc", derive(gothic, 3)) &&
                         write(directory / "TavrinGothicB.ttc", derive(gothicBold, 4)) &&
                         write(directory / "TavrinConsole.ttf", derive(gothic, 5));
    if (!written) {
        std::fprintf(stderr, "make_fixture_fonts: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
