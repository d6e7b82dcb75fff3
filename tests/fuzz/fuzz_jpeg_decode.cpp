// libFuzzer target for the JPEG loader: every input is written to an in-memory file and decoded by
// readJpegFile, through our own error manager and warning handling. Any read outside memory,
// undefined behaviour, leak, hang or a kept picture whose rows do not fit is a finding.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "media/texture.h"
#include "platform/platform.h"

namespace {

int memoryFile = -1;
std::string memoryPath;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    sysSetBatchMode(true);
    memoryFile = memfd_create("fuzz.jpg", MFD_CLOEXEC);
    if (memoryFile < 0) {
        std::perror("memfd_create");
        return 1;
    }
    memoryPath = "/proc/self/fd/" + std::to_string(memoryFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (ftruncate(memoryFile, 0) != 0 || (size > 0 && pwrite(memoryFile, data, size, 0) != static_cast<ssize_t>(size)))
        return 0;
    DecodedPicture* picture = readJpegFile(memoryPath.c_str());
    if (picture == nullptr)
        return 0;
    // A kept picture is complete: every byte of every row can be read.
    if (picture->width <= 0 || picture->height <= 0 || picture->rowBytes != picture->width * 3)
        __builtin_trap();
    volatile unsigned sum = 0;
    const size_t total = static_cast<size_t>(picture->rowBytes) * static_cast<size_t>(picture->height);
    for (size_t i = 0; i < total; i += 61)
        sum = sum + picture->pixels[i];
    sum = sum + picture->pixels[total - 1];
    freeDecodedPicture(picture);
    return 0;
}
