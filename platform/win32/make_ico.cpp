// Build-time tool, run on the build machine: writes the program's icon (the 32x32, 16-colour XPM
// the window uses) as a Windows .ico file for the resource script.
// Usage: velmora_make_ico OUTPUT.ico
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/icon.h"

namespace {

void put16(std::vector<uint8_t>* out, unsigned value)
{
    out->push_back(static_cast<uint8_t>(value));
    out->push_back(static_cast<uint8_t>(value >> 8));
}

void put32(std::vector<uint8_t>* out, uint32_t value)
{
    put16(out, value & 0xFFFFu);
    put16(out, value >> 16);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora_make_ico OUTPUT.ico\n");
        return 2;
    }
    const IconPixels icon = decodeIcon();
    if (icon.rgba.empty() || icon.width != 32 || icon.height != 32) {
        std::fprintf(stderr, "velmora_make_ico: the built-in icon is not a 32x32 picture\n");
        return 1;
    }
    // The palette: the opaque colours in the order they first appear (at most 16).
    std::vector<uint32_t> palette;
    std::vector<uint8_t> index(32 * 32, 0);
    for (size_t i = 0; i < index.size(); ++i) {
        const uint8_t* p = &icon.rgba[i * 4];
        if (p[3] == 0) {
            continue;
        }
        const uint32_t bgr =
            static_cast<uint32_t>(p[2]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[0]) << 16);
        size_t slot = 0;
        while (slot < palette.size() && palette[slot] != bgr) {
            ++slot;
        }
        if (slot == palette.size()) {
            if (palette.size() == 16) {
                std::fprintf(stderr, "velmora_make_ico: the icon has more than 16 colours\n");
                return 1;
            }
            palette.push_back(bgr);
        }
        index[i] = static_cast<uint8_t>(slot);
    }
    palette.resize(16, 0);

    const uint32_t xorBytes = 32 * 16, andBytes = 32 * 4;
    const uint32_t imageBytes = 40 + 16 * 4 + xorBytes + andBytes;
    std::vector<uint8_t> out;
    put16(&out, 0);  // icon directory: reserved, type 1 (icon), one image
    put16(&out, 1);
    put16(&out, 1);
    out.push_back(32);  // directory entry: 32x32, 16 colours, 1 plane, 4 bits
    out.push_back(32);
    out.push_back(16);
    out.push_back(0);
    put16(&out, 1);
    put16(&out, 4);
    put32(&out, imageBytes);
    put32(&out, 6 + 16);
    put32(&out, 40);  // bitmap header; the height counts the colour and the mask bitmaps
    put32(&out, 32);
    put32(&out, 64);
    put16(&out, 1);
    put16(&out, 4);
    put32(&out, 0);
    put32(&out, xorBytes + andBytes);
    put32(&out, 0);
    put32(&out, 0);
    put32(&out, 16);
    put32(&out, 0);
    for (uint32_t bgr : palette) {
        put32(&out, bgr);
    }
    for (int y = 31; y >= 0; --y) {  // bottom row first
        for (int x = 0; x < 32; x += 2) {
            out.push_back(static_cast<uint8_t>((index[y * 32 + x] << 4) | index[y * 32 + x + 1]));
        }
    }
    for (int y = 31; y >= 0; --y) {  // the mask: 1 where the picture is transparent
        for (int x = 0; x < 32; x += 8) {
            uint8_t bits = 0;
            for (int b = 0; b < 8; ++b) {
                if (icon.rgba[(y * 32 + x + b) * 4 + 3] == 0) {
                    bits |= static_cast<uint8_t>(0x80 >> b);
                }
            }
            out.push_back(bits);
        }
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr || std::fwrite(out.data(), 1, out.size(), file) != out.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "velmora_make_ico: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
