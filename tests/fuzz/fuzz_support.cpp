// What the reader needs from the rest of the program, reduced to what a fuzz run can use: no GL
// context (material pictures are never loaded), message boxes as lines on stderr, and no particle
// systems to tear down.
#include <cstdio>

#include "media/texture.h"
#include "model/model.h"
#include "platform/platform.h"

namespace {
bool batch = true;
}

void loadTexture(GLuint* textures, const char* name, int slot)
{
    (void)textures;
    (void)name;
    (void)slot;
}

void sysSetBatchMode(bool on)
{
    batch = on;
}

bool sysBatchMode()
{
    return batch;
}

void sysMessageBox(const char* caption, const char* text)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

void destroyParticleSystem(ParticleSystem* system)
{
    (void)system;
}
