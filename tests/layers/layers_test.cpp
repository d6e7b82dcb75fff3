// The house in layers: every #include "..." of the program names a folder at or below its own.
// platform < core < media < model < render < scenes < shell; platform includes nothing of ours
// but itself and its icon picture. A line that reaches up fails the test, naming file and line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> layers = {"platform", "core", "media", "model", "render", "scenes", "shell"};

int rankOf(const std::string& folder)
{
    for (size_t i = 0; i < layers.size(); ++i) {
        if (layers[i] == folder) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Every include of our own that a file in folder may not make, as "file:line: include" lines.
std::vector<std::string> violationsIn(const fs::path& root, const std::string& folder)
{
    static const std::regex include(R"(^\s*#\s*include\s*"([^"/]+)/[^"]*")");
    std::vector<std::string> found;
    const int rank = rankOf(folder);
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) {
            continue;
        }
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch match;
            if (!std::regex_search(line, match, include)) {
                continue;
            }
            const std::string target = match[1];
            const int targetRank = rankOf(target);
            const bool allowed = folder == "platform" ? (target == "platform" || target == "resources")
                                                      : (targetRank >= 0 && targetRank <= rank);
            if (!allowed) {
                found.push_back(fs::relative(entry.path(), root).string() + ":" + std::to_string(number) + ": " + line);
            }
        }
    }
    return found;
}

}  // namespace

TEST(Layers, NoFolderIncludesOneAboveIt)
{
    const fs::path root = VELMORA_SOURCE_DIR;
    std::string report;
    for (const std::string& folder : layers) {
        ASSERT_TRUE(fs::is_directory(root / folder)) << folder << "/ is missing";
        for (const std::string& line : violationsIn(root, folder)) {
            report += line + "\n";
        }
    }
    EXPECT_TRUE(report.empty()) << "includes that reach up a layer:\n" << report;
}
