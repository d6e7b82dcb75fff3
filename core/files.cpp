// Opening data files without surprises: the file is opened without blocking (a FIFO would wait for
// a writer, a terminal for a key), then checked on the open descriptor, so that what is read is the
// regular file that was checked, and where it really lies is read back from the descriptor.
#include "core/files.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

bool verboseDataReports = false;

namespace {

std::string dataRoot;  // resolved, without a trailing slash ("/" stays "/")

bool insideDataRoot(const std::string& real)
{
    if (dataRoot.empty()) {
        return true;
    }
    if (dataRoot == "/") {
        return !real.empty() && real[0] == '/';
    }
    return real.size() > dataRoot.size() && real.compare(0, dataRoot.size(), dataRoot) == 0 &&
           real[dataRoot.size()] == '/';
}

std::string realPathOf(const char* path)
{
    char* real = realpath(path, nullptr);
    if (real == nullptr) {
        return std::string();
    }
    std::string result = real;
    std::free(real);
    return result;
}

// Where an open descriptor's file really is, as the kernel knows it; empty when it cannot tell.
std::string pathOfDescriptor(int fd)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[PATH_MAX + 1];
    const ssize_t length = readlink(link, target, PATH_MAX);
    if (length <= 0 || target[0] != '/') {
        return std::string();
    }
    return std::string(target, static_cast<size_t>(length));
}

}  // namespace

FILE* openRegularFile(const char* path, std::string* why)
{
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *why = std::strerror(errno);
        return nullptr;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *why = S_ISDIR(info.st_mode) ? "a folder, not a file" : "not a regular file";
        close(fd);
        return nullptr;
    }
    // Reads from a regular file never block; the flag is dropped all the same.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        *why = std::strerror(errno);
        close(fd);
    }
    return file;
}

bool setDataRoot(const std::string& folder)
{
    if (folder.empty()) {
        dataRoot.clear();
        return true;
    }
    const std::string real = realPathOf(folder.c_str());
    if (real.empty()) {
        return false;
    }
    dataRoot = real;
    return true;
}

std::string resolvedDataPath(const char* path)
{
    const std::string real = realPathOf(path);
    return insideDataRoot(real) ? real : std::string();
}

FILE* openDataFile(const char* path, std::string* why, bool* refused)
{
    if (refused != nullptr) {
        *refused = false;
    }
    FILE* file = openRegularFile(path, why);
    if (file == nullptr) {
        if (refused != nullptr) {
            struct stat info {};
            *refused = stat(path, &info) == 0 && !S_ISREG(info.st_mode);
        }
        return nullptr;
    }
    if (dataRoot.empty()) {
        return file;
    }
    // The descriptor names the file that was opened, so a link swapped after the check changes
    // nothing; without /proc the name is resolved instead.
    std::string real = pathOfDescriptor(fileno(file));
    if (real.empty()) {
        real = realPathOf(path);
    }
    if (!insideDataRoot(real)) {
        *why = "outside the data folder";
        if (refused != nullptr) {
            *refused = true;
        }
        std::fclose(file);
        return nullptr;
    }
    return file;
}

std::string makeFileBeside(const std::string& target, const char* suffix, std::string* why)
{
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string name = folder + "." + base + "-XXXXXX" + suffix;
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    const int fd = mkstemps(buffer.data(), static_cast<int>(std::strlen(suffix)));
    if (fd < 0) {
        *why = std::strerror(errno);
        return std::string();
    }
    // mkstemps makes it private; the finished file gets the usual permissions.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    return std::string(buffer.data());
}
