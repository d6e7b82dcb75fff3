// Finding the data folder without --data: the current folder first (as the presentation always
// did), then the places an installed or freshly built program keeps it. POSIX only.
#include "shell/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#ifndef VELMORA_INSTALLED_DATA_DIR
#define VELMORA_INSTALLED_DATA_DIR ""
#endif

namespace {

bool isFolder(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::vector<std::string> dataFolderCandidates(const std::string& currentDir, const std::string& exeDir,
                                              const std::string& installedDir)
{
    std::vector<std::string> candidates;
    auto add = [&](const std::string& folder) {
        for (const std::string& known : candidates) {
            if (known == folder) {
                return;
            }
        }
        candidates.push_back(folder);
    };
    if (!currentDir.empty()) {
        add(currentDir);
    }
    if (!exeDir.empty()) {
        const size_t slash = exeDir.rfind('/');
        add((slash == std::string::npos ? std::string("..") : exeDir.substr(0, slash)) + "/share/velmora");
        add(exeDir + "/data");
    }
    if (!installedDir.empty()) {
        add(installedDir);
    }
    return candidates;
}

bool looksLikeDataFolder(const std::string& folder)
{
    return isFolder(folder + "/pict") || isFolder(folder + "/maps");
}

std::string findDataFolder(const std::vector<std::string>& candidates)
{
    for (const std::string& folder : candidates) {
        if (looksLikeDataFolder(folder)) {
            return folder;
        }
    }
    return std::string();
}

std::string executableDir()
{
    char path[PATH_MAX + 1];
    const ssize_t length = readlink("/proc/self/exe", path, PATH_MAX);
    if (length <= 0) {
        return std::string();
    }
    std::string exe(path, static_cast<size_t>(length));
    const size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

std::string installedDataDir()
{
    return VELMORA_INSTALLED_DATA_DIR;
}

std::string absolutePath(const std::string& path)
{
    if (path.empty() || path[0] == '/') {
        return path;
    }
    char folder[PATH_MAX + 1];
    if (getcwd(folder, sizeof folder) == nullptr) {
        return path;
    }
    std::string relative = path;
    while (relative.size() > 2 && relative.compare(0, 2, "./") == 0) {
        relative.erase(0, 2);
    }
    return std::string(folder) + "/" + relative;
}
