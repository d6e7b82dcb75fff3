// Tileable gradient noise, fractal sums and cellular noise for the generated pictures and textures.
// Depends only on geom.h; all functions are pure (same inputs, same value).
#pragma once
#include <cstdint>

namespace ag {

// Gradient noise in about [-1, 1] that repeats every `period` units on both axes (period >= 1).
float perlin(float x, float y, int period, uint32_t seed);
// Sum of `octaves` noise layers, each of double frequency and `gain` times the amplitude; tiles with
// the base period. Result roughly in [-1, 1].
float fbm(float x, float y, int period, int octaves, uint32_t seed, float gain = 0.5f);
// Ridged variant (sharp creases), roughly in [0, 1].
float ridged(float x, float y, int period, int octaves, uint32_t seed);

// Cellular noise over a grid of `period` x `period` cells (tiles): distance to the nearest and
// second-nearest feature point, in cell units, and an id for the nearest cell.
struct CellSample {
    float nearest = 0.0f;
    float second = 0.0f;
    uint32_t id = 0;
};
CellSample cellular(float x, float y, int period, uint32_t seed);

// A hash of integers to [0, 1).
float hash01(int x, int y, uint32_t seed);

}  // namespace ag
