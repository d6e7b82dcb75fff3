// The Opening scene's timeline as plain functions of the scene time, for the scene and its tests.
#pragma once

// The title picture's brightness from 34.5 s: 0 there, 1 at 44 s.
inline float openingTitleBrightness(float t)
{
    return (t - 34.5f) / 9.5f;
}
// The white flash over the last second: 0 at 43 s, 1 at 44 s.
inline float openingFlashBrightness(float t)
{
    return t - 43.0f;
}
// The loading picture slides up one unit per second.
inline float openingLoadingOffset(float t)
{
    return t;
}
// Whether each layer is drawn at t.
inline bool openingStreamsShown(float t)
{
    return t > 34.5f;
}
inline bool openingTitleShown(float t)
{
    return t >= 34.5f && t <= 44.0f;
}
inline bool openingFlashShown(float t)
{
    return t >= 43.0f && t <= 44.0f;
}
inline bool openingLoadingShown(float t)
{
    return t < 6.0f;
}
