// Benchmark and manual driver for the soundtrack generator: writes music/velmora.mp3 under the
// folder given (default: a folder in the system temp directory) and prints the time it took and
// the file size. Depends on the music library only.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "music.h"

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    const std::string dir = argc > 1 ? argv[1] : (fs::temp_directory_path() / "velmora-music-bench").string();
    const auto start = std::chrono::steady_clock::now();
    const bool ok = writeMusic(dir);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!ok) {
        std::fprintf(stderr, "bench_music: generation failed\n");
        return 1;
    }
    const fs::path file = fs::path(dir) / "music" / "velmora.mp3";
    std::printf("%s: %.2f s to generate, %ju bytes\n", file.string().c_str(), seconds,
                static_cast<uintmax_t>(fs::file_size(file)));
    return 0;
}
