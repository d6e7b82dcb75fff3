// In-memory pictures for the content generator: float RGB images and single-channel masks, a few
// compositing helpers, and the JPEG (libjpeg) and PNG writers.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "tools/assetgen/geom.h"

namespace ag {

// An RGB image of floats, nominally 0..1 per channel; values outside are clamped when written.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Vec3> pixels;

    Image() = default;
    Image(int w, int h, Vec3 fill = {}) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    Vec3& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Vec3& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Bilinear sample with wrap-around at the edges (for tileable sources).
    Vec3 sampleWrap(float u, float v) const;
};

// A single-channel coverage mask, 0..1.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> values;

    Mask() = default;
    Mask(int w, int h) : width(w), height(h), values(static_cast<size_t>(w) * h, 0.0f) {}
    float& at(int x, int y) { return values[static_cast<size_t>(y) * width + x]; }
    float at(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
    // Clamped lookup: outside the mask is 0.
    float get(int x, int y) const { return (x < 0 || y < 0 || x >= width || y >= height) ? 0.0f : at(x, y); }
};

// Separable box blur repeated three times (close to a gaussian of about radius / 1.7 sigma).
Mask blur(const Mask& m, int radius);
// Adds colour * strength * mask at (ox, oy) of the image (additive light).
void addMask(Image& img, const Mask& m, int ox, int oy, Vec3 colour, float strength = 1.0f);
// Blends colour over the image through the mask (paint).
void paintMask(Image& img, const Mask& m, int ox, int oy, Vec3 colour, float opacity = 1.0f);
// Adds a soft radial glow: colour * strength * (1 - r/radius)^falloff inside the radius.
void addGlow(Image& img, float cx, float cy, float radius, Vec3 colour, float strength, float falloff = 2.0f);
// Darkens towards the corners; amount 0 = none.
void vignette(Image& img, float amount);
// Adds fine monochrome grain of the given amplitude (deterministic per seed).
void addGrain(Image& img, float amplitude, uint32_t seed);

// Writes a baseline JPEG with 3 components at the given quality. Returns false, with the reason on
// stderr, when the file cannot be written.
bool writeJpeg(const Image& img, const std::string& path, int quality = 90);
// Writes an 8-bit RGB PNG. Returns false, with the reason on stderr, on failure.
bool writePng(const Image& img, const std::string& path);

// Runs job(0) .. job(count - 1) on up to `threads` threads (0: one per processor). Jobs must be
// independent; the result is the same whatever the order. Returns false when any job did.
bool runJobs(size_t count, const std::function<bool(size_t)>& job, unsigned threads = 0);

// Creates every missing folder of path (like mkdir -p). Returns false when one cannot be made.
bool makeFolders(const std::string& path);

}  // namespace ag
