// Image helpers and file writers for the content generator. JPEG output uses libjpeg's stdio
// destination with fixed settings (baseline, quality 90, YCbCr 4:2:0), so the same image always
// gives the same bytes; PNG output (previews only) goes through the house's one PNG writer.
#include "tools/assetgen/image.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <thread>

#include <jpeglib.h>

#include "core/png.h"

namespace ag {

Vec3 Image::sampleWrap(float u, float v) const
{
    float fx = u * static_cast<float>(width) - 0.5f;
    float fy = v * static_cast<float>(height) - 0.5f;
    float x0f = std::floor(fx), y0f = std::floor(fy);
    float tx = fx - x0f, ty = fy - y0f;
    auto wrapi = [](int a, int n) {
        int m = a % n;
        return m < 0 ? m + n : m;
    };
    int x0 = wrapi(static_cast<int>(x0f), width), y0 = wrapi(static_cast<int>(y0f), height);
    int x1 = wrapi(x0 + 1, width), y1 = wrapi(y0 + 1, height);
    Vec3 a = lerp(at(x0, y0), at(x1, y0), tx);
    Vec3 b = lerp(at(x0, y1), at(x1, y1), tx);
    return lerp(a, b, ty);
}

namespace {

void boxPass(const std::vector<float>& src, std::vector<float>& dst, int w, int h, int r, bool horizontal)
{
    int len = horizontal ? w : h;
    int lines = horizontal ? h : w;
    std::vector<float> line(static_cast<size_t>(len)), prefix(static_cast<size_t>(len) + 1);
    for (int l = 0; l < lines; ++l) {
        for (int i = 0; i < len; ++i) {
            line[i] = horizontal ? src[static_cast<size_t>(l) * w + i] : src[static_cast<size_t>(i) * w + l];
        }
        prefix[0] = 0.0f;
        for (int i = 0; i < len; ++i)
            prefix[i + 1] = prefix[i] + line[i];
        for (int i = 0; i < len; ++i) {
            int a = i - r < 0 ? 0 : i - r;
            int b = i + r + 1 > len ? len : i + r + 1;
            // Outside the mask counts as zero, so edges fade rather than smear.
            float v = (prefix[b] - prefix[a]) / static_cast<float>(2 * r + 1);
            if (horizontal)
                dst[static_cast<size_t>(l) * w + i] = v;
            else
                dst[static_cast<size_t>(i) * w + l] = v;
        }
    }
}

}  // namespace

Mask blur(const Mask& m, int radius)
{
    Mask out = m;
    if (radius <= 0)
        return out;
    std::vector<float> tmp(out.values.size());
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(out.values, tmp, m.width, m.height, radius, true);
        boxPass(tmp, out.values, m.width, m.height, radius, false);
    }
    return out;
}

namespace {

// Calls apply(pixel, coverage) for every mask value that lands inside the image when the mask's
// corner sits at (ox, oy).
template <typename Apply>
void overMask(Image& img, const Mask& m, int ox, int oy, Apply apply)
{
    for (int y = 0; y < m.height; ++y) {
        int iy = y + oy;
        if (iy < 0 || iy >= img.height)
            continue;
        for (int x = 0; x < m.width; ++x) {
            int ix = x + ox;
            if (ix < 0 || ix >= img.width)
                continue;
            apply(img.at(ix, iy), m.at(x, y));
        }
    }
}

}  // namespace

void addMask(Image& img, const Mask& m, int ox, int oy, Vec3 colour, float strength)
{
    overMask(img, m, ox, oy, [&](Vec3& pixel, float coverage) { pixel += colour * (coverage * strength); });
}

void paintMask(Image& img, const Mask& m, int ox, int oy, Vec3 colour, float opacity)
{
    overMask(img, m, ox, oy,
             [&](Vec3& pixel, float coverage) { pixel = lerp(pixel, colour, clamp01(coverage * opacity)); });
}

void addGlow(Image& img, float cx, float cy, float radius, Vec3 colour, float strength, float falloff)
{
    int x0 = static_cast<int>(std::floor(cx - radius)), x1 = static_cast<int>(std::ceil(cx + radius));
    int y0 = static_cast<int>(std::floor(cy - radius)), y1 = static_cast<int>(std::ceil(cy + radius));
    for (int y = y0 < 0 ? 0 : y0; y <= y1 && y < img.height; ++y) {
        for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < img.width; ++x) {
            float d = std::hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy) / radius;
            if (d >= 1.0f)
                continue;
            img.at(x, y) += colour * (strength * std::pow(1.0f - d, falloff));
        }
    }
}

void vignette(Image& img, float amount)
{
    float cx = 0.5f * static_cast<float>(img.width), cy = 0.5f * static_cast<float>(img.height);
    float norm = std::hypot(cx, cy);
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            float d = std::hypot(static_cast<float>(x) - cx, static_cast<float>(y) - cy) / norm;
            img.at(x, y) *= 1.0f - amount * d * d;
        }
    }
}

void addGrain(Image& img, float amplitude, uint32_t seed)
{
    Rng rng(seed);
    for (Vec3& p : img.pixels) {
        float g = (rng.uniform() - 0.5f) * 2.0f * amplitude;
        p += Vec3{g, g, g};
    }
}

namespace {

unsigned char toByte(float v)
{
    float c = clamp01(v) * 255.0f + 0.5f;
    return static_cast<unsigned char>(c >= 255.0f ? 255 : static_cast<int>(c));
}

std::vector<unsigned char> toBytes(const Image& img)
{
    std::vector<unsigned char> rgb(static_cast<size_t>(img.width) * img.height * 3);
    for (size_t i = 0; i < img.pixels.size(); ++i) {
        rgb[i * 3 + 0] = toByte(img.pixels[i].x);
        rgb[i * 3 + 1] = toByte(img.pixels[i].y);
        rgb[i * 3 + 2] = toByte(img.pixels[i].z);
    }
    return rgb;
}

}  // namespace

bool writeJpeg(const Image& img, const std::string& path, int quality)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "%s: cannot open for writing: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    std::vector<unsigned char> rgb = toBytes(img);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(img.width);
    cinfo.image_height = static_cast<JDIMENSION>(img.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;  // smaller files; still baseline sequential
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &rgb[static_cast<size_t>(cinfo.next_scanline) * img.width * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    bool ok = std::ferror(f) == 0;
    if (std::fclose(f) != 0)
        ok = false;
    if (!ok)
        std::fprintf(stderr, "%s: write failed\n", path.c_str());
    return ok;
}

bool writePng(const Image& img, const std::string& path)
{
    std::string error;
    if (::writePng(path, img.width, img.height, 3, toBytes(img), RowOrder::TopDown, &error))
        return true;
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
}

bool runJobs(size_t count, const std::function<bool(size_t)>& job, unsigned threads)
{
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    std::atomic<size_t> next{0};
    std::atomic<bool> ok{true};
    auto worker = [&]() {
        for (size_t i = next++; i < count; i = next++) {
            if (!job(i))
                ok = false;
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads && t < count; ++t)
        pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool)
        t.join();
    return ok;
}

bool makeFolders(const std::string& path)
{
    std::string partial;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t next = path.find('/', pos);
        if (next == std::string::npos)
            next = path.size();
        partial = path.substr(0, next);
        if (!partial.empty()) {
            struct stat st;
            if (stat(partial.c_str(), &st) != 0) {
                if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
                    std::fprintf(stderr, "%s: cannot create folder: %s\n", partial.c_str(), std::strerror(errno));
                    return false;
                }
            } else if (!S_ISDIR(st.st_mode)) {
                std::fprintf(stderr, "%s: exists and is not a folder\n", partial.c_str());
                return false;
            }
        }
        pos = next + 1;
    }
    return true;
}

}  // namespace ag
