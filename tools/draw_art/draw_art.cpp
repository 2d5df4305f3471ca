// Writes tarnvale.ico and about.bmp into the directory named on the command line.
#include "tools/draw_art/art.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

bool WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "draw_art: cannot write %s\n", path.string().c_str());
        return false;
    }
    std::printf("%s: %zu bytes\n", path.string().c_str(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_art <output directory>\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    const bool ok = WriteFile(dir / "tarnvale.ico", tarnvale::art::MakeIconFile()) &&
                    WriteFile(dir / "about.bmp", tarnvale::art::MakeAboutFile());
    return ok ? 0 : 1;
}
