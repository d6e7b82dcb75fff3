// One PNG writer for the whole house: frames, icons, previews and test dumps. The encoding is the
// platform's (sysWritePngStream); the file is written beside its target and renamed over it.
#include "core/png.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/files.h"
#include "platform/platform.h"

bool writePng(const std::string& path, int width, int height, int channels, const std::vector<uint8_t>& pixels,
              RowOrder order, std::string* error)
{
    std::string ignored;
    std::string& why = error != nullptr ? *error : ignored;
    if (!pngPictureFits(width, height, channels, pixels)) {
        why = "no picture to write to " + path;
        return false;
    }
    // Written beside the target and renamed over it when whole: a failure leaves what was there.
    const std::string temporary = makeFileBeside(path, ".png", &why);
    if (temporary.empty()) {
        why = "cannot write " + path + ": " + why;
        return false;
    }
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        why = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    const size_t stride = static_cast<size_t>(width) * static_cast<size_t>(channels);
    std::vector<const uint8_t*> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const int source = order == RowOrder::BottomUp ? height - 1 - y : y;
        rows[static_cast<size_t>(y)] = pixels.data() + static_cast<size_t>(source) * stride;
    }
    bool ok = sysWritePngStream(file, width, height, channels, rows.data());
    if (std::fclose(file) != 0) {
        ok = false;
    }
    if (!ok) {
        std::remove(temporary.c_str());
        why = "cannot write " + path + " (disk full?)";
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        why = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
