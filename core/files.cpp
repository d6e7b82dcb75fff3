// Opening data files without surprises: the file is opened without blocking (a FIFO would wait for
// a writer, a terminal for a key), then checked on the open descriptor, so that what is read is the
// regular file that was checked.
#include "core/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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
