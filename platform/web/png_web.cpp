// The PNG encoder of the browser build, where no libpng or zlib exists: the rows go out in stored
// (uncompressed) deflate blocks, which every PNG reader accepts. Frames written here are read by
// the page and handed to whoever asked for them; their size does not matter.
#include "platform/platform.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

uint32_t crcTable[256];

void makeCrcTable()
{
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        crcTable[n] = c;
    }
}

void putBig32(std::vector<uint8_t>* out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        out->push_back(static_cast<uint8_t>(value >> shift));
    }
}

void putChunk(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& data)
{
    putBig32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = start; i < out->size(); ++i) {
        crc = crcTable[(crc ^ (*out)[i]) & 0xFFu] ^ (crc >> 8);
    }
    putBig32(out, crc ^ 0xFFFFFFFFu);
}

}  // namespace

bool sysWritePngStream(FILE* file, int width, int height, int channels, const uint8_t* const* rows)
{
    if (crcTable[1] == 0) {
        makeCrcTable();
    }
    // Each row is filter byte 0 and the pixels; the zlib stream holds them in stored blocks.
    const size_t stride = static_cast<size_t>(width) * static_cast<size_t>(channels);
    std::vector<uint8_t> raw;
    raw.reserve((stride + 1) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rows[y], rows[y] + stride);
    }
    std::vector<uint8_t> zlib = {0x78, 0x01};
    for (size_t at = 0; at < raw.size();) {
        const size_t length = std::min<size_t>(65535, raw.size() - at);
        zlib.push_back(at + length == raw.size() ? 1 : 0);
        zlib.push_back(static_cast<uint8_t>(length));
        zlib.push_back(static_cast<uint8_t>(length >> 8));
        zlib.push_back(static_cast<uint8_t>(~length));
        zlib.push_back(static_cast<uint8_t>(~length >> 8));
        zlib.insert(zlib.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + length));
        at += length;
    }
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    putBig32(&zlib, (b << 16) | a);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    putBig32(&header, static_cast<uint32_t>(width));
    putBig32(&header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, static_cast<uint8_t>(channels == 4 ? 6 : 2), 0, 0, 0});
    putChunk(&png, "IHDR", header);
    putChunk(&png, "IDAT", zlib);
    putChunk(&png, "IEND", {});
    return std::fwrite(png.data(), 1, png.size(), file) == png.size();
}
